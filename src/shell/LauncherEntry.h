// SPDX-License-Identifier: MIT
#pragma once

#include <QDBusConnection>
#include <QObject>

#include <optional>

namespace skyloft {

// The upload's progress on the taskbar or dock: the com.canonical.Unity.LauncherEntry signal
// Update for application://app.skyloft.Skyloft.desktop, which KDE Plasma's task manager and
// GNOME's common docks show on Skyloft's entry.
class LauncherEntry : public QObject
{
    Q_OBJECT
public:
    explicit LauncherEntry(QDBusConnection bus = QDBusConnection::sessionBus(),
                           QObject *parent = nullptr);

    // A fraction from 0 to 1 shows the bar; nothing clears it. Said again only when it moved by
    // a whole percent, so a fast copy does not flood the bus.
    void setProgress(std::optional<double> progress);

private:
    QDBusConnection m_bus;
    std::optional<int> m_shownPercent;
};

} // namespace skyloft
