// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace skyloft {

class RcloneConfigReading;

// Where a run uploads: one of the catalog's services through the remote that serves it, or
// another remote of rclone's file that can make public links.
struct Destination
{
    QString name;   // what the screens show: "Google Drive", or the remote's own name ("caja")
    QString remote; // the rclone remote the files go to: "drive", "trabajo", "caja"
    QString type;   // the backend it finally reaches ("s3" for an alias over S3); may be empty

    bool isService() const;
    // The links screen's section (and the history's remote) for its links: a service keeps its
    // own remote name ("drive"), whichever remote serves it; another remote, its name.
    QString linksSection() const;
    bool operator==(const Destination &) const = default;
};

// The links section of a destination by its name and remote (see Destination::linksSection).
QString linksSectionFor(const QString &name, const QString &remote);

// Each name as a destination: a listed service through the remote that serves it, any other
// name as the remote of that name.
QList<Destination> resolveDestinations(const QStringList &names,
                                       const RcloneConfigReading &reading);

} // namespace skyloft
