// SPDX-License-Identifier: MIT
#pragma once

#include "ui/UrlOpener.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class QMainWindow;

namespace skyloft {

// Shapes the main window once launching has finished and builds the application menu.
class AppDelegate : public QObject
{
    Q_OBJECT
public:
    // The built-in help and rclone pages, opened with the desktop's browser.
    explicit AppDelegate(QObject *parent = nullptr);
    AppDelegate(QString helpUrl, QString rcloneRepositoryUrl, UrlOpener openUrl,
                QObject *parent = nullptr);

    // Fixes the first window at 700 x 520 and installs an empty menu, replaced 0.6 s later by the
    // application menu. With no window, nothing happens.
    void applicationDidFinishLaunching(const QList<QMainWindow *> &windows);

    static constexpr int kMenuDelayMs = 600;

public Q_SLOTS:
    void mostrarAcercaDe();
    void irAConfiguracion();
    void mostrarHistorial();
    void mostrarAyudaEnLinea();
    void mostrarAgradecimientosRclone();

private:
    void buildMenu(QMainWindow *window);

    QString m_helpUrl;
    QString m_rcloneRepositoryUrl;
    UrlOpener m_openUrl;
    QPointer<QMainWindow> m_window;
};

} // namespace skyloft
