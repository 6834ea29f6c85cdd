// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace skyloft {

class RcloneConfigReading;
struct ServiceEntry;

// Which remote of rclone's file serves a service. Its own remote name when the file has that
// section (whatever its type); otherwise the remote the user chose, or the only remote of the
// service's type (an alias counts as the type it leads to). With several and no choice, the
// user is asked ("Remoto:").
struct ServiceRemote
{
    QString displayName;
    QString remote;         // the remote in use; the service's own name when there is none yet
    QStringList candidates; // remotes of its type, when its own name is missing
    bool choiceNeeded = false;

    bool operator==(const ServiceRemote &) const = default;
};

ServiceRemote serviceRemote(const ServiceEntry &entry, const RcloneConfigReading &reading,
                            const QString &chosen);
// Every listed service, with the choices remembered in Settings.
QList<ServiceRemote> serviceRemotes(const RcloneConfigReading &reading);

} // namespace skyloft
