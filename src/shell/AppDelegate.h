// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QObject>

class QMainWindow;

namespace skyloft {

// Shapes the main window once launching has finished and builds the application menu.
class AppDelegate : public QObject
{
    Q_OBJECT
public:
    explicit AppDelegate(QObject *parent = nullptr);

    // Fixes the first window at 700 x 520 and installs an empty menu, replaced 0.6 s later by the
    // application menu. With no window, nothing happens.
    void applicationDidFinishLaunching(const QList<QMainWindow *> &windows);

    static constexpr int kMenuDelayMs = 600;

private:
    void buildMenu(QMainWindow *window);
};

} // namespace skyloft
