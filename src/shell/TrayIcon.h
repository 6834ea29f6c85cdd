// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

#include <functional>
#include <optional>

class QMenu;
class QSystemTrayIcon;

namespace skyloft {

// Skyloft's icon in the system tray, for those who want it ("Icono en la bandeja", off at first):
// its tooltip follows the upload's progress, a click brings the window forward, and its menu
// offers "Mostrar Skyloft" and "Salir". It is shown only where the desktop has a tray.
class TrayIcon : public QObject
{
    Q_OBJECT
public:
    explicit TrayIcon(std::function<void()> bringForward, QObject *parent = nullptr);
    ~TrayIcon() override;

    static bool isAvailable();

    // The user's choice; the icon appears when it is on and a tray exists.
    void setWanted(bool wanted);
    bool isWanted() const { return m_wanted; }
    bool isVisible() const;

    void setProgress(std::optional<double> progress);
    QSystemTrayIcon *icon() const { return m_icon; }

    // A balloon message, the icon shown for it if it was not; false where no tray exists.
    bool showMessage(const QString &title, const QString &text);

Q_SIGNALS:
    void messageClicked();

private:
    std::function<void()> m_bringForward;
    QSystemTrayIcon *m_icon;
    QMenu *m_menu;
    bool m_wanted = false;
};

} // namespace skyloft
