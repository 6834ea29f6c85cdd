// SPDX-License-Identifier: MIT
#pragma once

#include "ui/UrlOpener.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

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
    // "Limitar velocidad…" and "Caducidad de enlaces…": a choice or a value of one's own,
    // remembered and given to the runs.
    void limitarVelocidad();
    void elegirCaducidadEnlaces();

private:
    struct SettingQuestion
    {
        QString title;
        QString label;
        QStringList choices;
        QString current;
        QString invalid; // %1: what was written
        // What was chosen or written, in rclone's terms; nothing when it means nothing.
        std::function<std::optional<QString>(const QString &text)> read;
        std::function<void(const QString &value)> keep;
    };
    void askSetting(const SettingQuestion &question);
    void buildMenu(QMainWindow *window);

    QString m_helpUrl;
    QString m_rcloneRepositoryUrl;
    UrlOpener m_openUrl;
    QPointer<QMainWindow> m_window;
};

} // namespace skyloft
