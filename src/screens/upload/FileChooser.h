// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>

#include <functional>

class QWidget;

namespace skyloft {

// What the user asked to pick: "Elegir archivos…" or "Elegir carpeta…".
enum class ChooserKind
{
    Files,
    Folder
};

// Lets the user pick files (several) or a folder to queue. It returns at once and later calls
// `onChosen` with the chosen paths, or not at all when the user cancels.
using FileChooser = std::function<void(QWidget *parent, ChooserKind kind,
                                       std::function<void(const QStringList &)> onChosen)>;

// The desktop's own file dialog, asked through the desktop portal (xdg-desktop-portal: GNOME's,
// KDE's... dialog) on the session bus; where there is none, Qt's file dialog. Without a modal loop
// of its own.
FileChooser desktopFileChooser();

} // namespace skyloft
