// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <functional>

namespace skyloft {

// What travels with one file from the start of its copy until the next file is taken up.
struct CopyJob
{
    QString service;    // display name
    QString remoteName; // remoteNameFor(service)
    int fileIndex = 0;  // position in the queue when the file was taken
    QString filePath;
    QString fileName;                    // lastPathComponent(filePath)
    std::function<void()> onServiceDone; // go on with the next service
};

// The text after the last "/", ignoring trailing ones ("/a/b/" gives "b", "/" gives "/").
QString lastPathComponent(const QString &path);

} // namespace skyloft
