// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>

#include <functional>

class QWidget;

namespace skyloft {

// Lets the user pick files to queue. It returns at once and later calls `onChosen` with the chosen
// paths, or not at all when the user cancels.
using FileChooser =
    std::function<void(QWidget *parent, std::function<void(const QStringList &)> onChosen)>;

// The file dialog: several files and folders at once, without a modal loop of its own.
FileChooser desktopFileChooser();

} // namespace skyloft
