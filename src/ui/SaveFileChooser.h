// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QWidget;

namespace skyloft {

struct SaveRequest
{
    QString title;         // the dialog's title
    QString suggestedName; // a file name, proposed in the user's home folder
    QString filter;        // "CSV (*.csv)"
    QString suffix;        // added when the user types a name without one
};

// Asks where to save a file. Returns at once and later calls `onChosen` with the chosen path, or
// not at all when the user cancels.
using SaveFileChooser = std::function<void(QWidget *parent, const SaveRequest &request,
                                           std::function<void(const QString &)> onChosen)>;

// The desktop's save dialog, without a modal loop of its own; it asks before replacing a file.
SaveFileChooser desktopSaveFileChooser();

} // namespace skyloft

namespace skyloft {

// Asks where with `choose`, then writes what `contents` gives there atomically. A file that
// cannot be written is reported in a dialog over `parent`; nothing else is touched.
void saveThroughDialog(QWidget *parent, const SaveFileChooser &choose, const SaveRequest &request,
                       std::function<QByteArray()> contents);

} // namespace skyloft
