// SPDX-License-Identifier: MIT
#include "shell/AppDelegate.h"

#include "shell/MainWindow.h"

#include <QMainWindow>
#include <QMenuBar>
#include <QPointer>
#include <QTimer>

namespace skyloft {

AppDelegate::AppDelegate(QObject *parent) : QObject(parent) {}

void AppDelegate::applicationDidFinishLaunching(const QList<QMainWindow *> &windows)
{
    if (windows.isEmpty())
        return;
    QMainWindow *window = windows.first();
    if (auto *mainWindow = qobject_cast<MainWindow *>(window))
        mainWindow->fixContentSize(700, 520);
    else
        window->setFixedSize(700, 520);

    window->setMenuBar(new QMenuBar(window));
    QPointer<QMainWindow> guarded(window);
    QTimer::singleShot(kMenuDelayMs, this, [this, guarded] {
        if (guarded)
            buildMenu(guarded);
    });
}

void AppDelegate::buildMenu(QMainWindow *window)
{
    window->setMenuBar(new QMenuBar(window));
}

} // namespace skyloft
