// SPDX-License-Identifier: MIT
#pragma once

#include "ui/SaveFileChooser.h"

#include <QDialog>
#include <QImage>

namespace skyloft {

// A link's QR code, large enough to scan from a phone across a desk, with "Guardar como PNG…".
// Shown with open(): no modal loop of its own.
class QrDialog : public QDialog
{
    Q_OBJECT
public:
    QrDialog(const QString &fileName, const QString &link, SaveFileChooser chooseFile,
             QWidget *parent = nullptr);

    // What the dialog shows and saves; null when the link does not fit in a QR code.
    QImage image() const { return m_image; }
    void saveAsPng();

    // At least this many pixels a side on screen.
    static constexpr int kMinimumSide = 320;

private:
    QString m_fileName;
    QImage m_image;
    SaveFileChooser m_chooseFile;
};

} // namespace skyloft
