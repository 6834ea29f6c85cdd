// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

namespace skyloft {

// Every argument list Skyloft hands to rclone, in one place. `configPath` is always passed as
// "--config" too, besides RCLONE_CONFIG in the environment.
namespace RcloneCommands {

// config create R TYPE (for the described services the remote name is also the type); answered
// "y" on stdin.
QStringList webSignInCreate(const QString &configPath, const QString &remoteName,
                            const QString &remoteType);
// authorize TYPE, after rclone reported a busy port.
QStringList authorizeRetry(const QString &configPath, const QString &remoteType);
// config reconnect R: (with the colon).
QStringList reconnect(const QString &configPath, const QString &remoteName);
// config update onedrive drive_id ID.
QStringList updateDriveId(const QString &configPath, const QString &remoteName,
                          const QString &driveId);
// config create R TYPE k1 v1 k2 v2 ...: each value one argument, exactly as typed.
QStringList createWithCredentials(const QString &configPath, const QString &remoteName,
                                  const QString &remoteType, const QStringList &keysAndValues);
// copy FILE R:/ --progress --stats=1s
QStringList copy(const QString &configPath, const QString &filePath, const QString &remoteName);
// copyto FILE R:/NAME --progress --stats=1s: the file lands in the top folder under NAME.
QStringList copyTo(const QString &configPath, const QString &filePath, const QString &remoteName,
                   const QString &nameOnRemote);
// link R:/NAME
QStringList link(const QString &configPath, const QString &remoteName, const QString &fileName);
// backend features R: (what the remote's backend can do, as JSON)
QStringList backendFeatures(const QString &configPath, const QString &remoteName);
// rcd --rc-addr 127.0.0.1:0: the remote-control daemon, at a port it binds itself and prints.
// Its configuration, user and password go in the environment, out of the process list.
QStringList remoteControl();

} // namespace RcloneCommands
} // namespace skyloft
