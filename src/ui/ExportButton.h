// SPDX-License-Identifier: MIT
#pragma once

#include "history/LinkExport.h"
#include "ui/SaveFileChooser.h"

#include <QPushButton>

#include <functional>

namespace skyloft {

// "Exportar…": a menu of the export formats; the chosen one asks where to save the links that
// `links` gives at that moment.
class ExportButton : public QPushButton
{
    Q_OBJECT
public:
    ExportButton(std::function<QList<ExportedLink>()> links, SaveFileChooser chooseFile,
                 QWidget *parent = nullptr);

    void exportAs(ExportFormat format);

private:
    std::function<QList<ExportedLink>()> m_links;
    SaveFileChooser m_chooseFile;
};

} // namespace skyloft
