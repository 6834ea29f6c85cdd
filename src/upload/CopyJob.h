// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace skyloft {

// One (service, file) pair as a run takes it up.
struct CopyJob
{
    QString service;    // display name
    QString remoteName; // remoteNameFor(service)
    int fileIndex = 0;  // position in the queue when the file was taken
    QString filePath;
    QString fileName; // lastPathComponent(filePath)
    // The name it gets on the remote when another file of the run took fileName there.
    QString renamedTo;
    // rclone's rate for the copy ("5M"; empty: none) and duration for the link ("7d"; empty:
    // the service's own).
    QString bandwidthLimit;
    QString linkExpiry;

    QString nameOnRemote() const { return renamedTo.isEmpty() ? fileName : renamedTo; }
};

// The log line of a link asked with an expiry that the service would not take.
QString expiryNotAppliedLine(const CopyJob &job);

// A free name beside `name` for the n-th file of that name: "report (2).txt" for n = 2.
QString numberedName(const QString &name, int n);

// The text after the last "/", ignoring trailing ones ("/a/b/" gives "b", "/" gives "/").
QString lastPathComponent(const QString &path);

} // namespace skyloft
