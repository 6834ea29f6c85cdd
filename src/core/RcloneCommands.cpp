// SPDX-License-Identifier: MIT
#include "core/RcloneCommands.h"

namespace skyloft::RcloneCommands {

static QStringList withConfig(const QString &configPath, const QStringList &rest)
{
    return QStringList{QStringLiteral("--config"), configPath} + rest;
}

QStringList webSignInCreate(const QString &configPath, const QString &remoteName,
                            const QString &remoteType)
{
    return withConfig(configPath,
                      {QStringLiteral("config"), QStringLiteral("create"), remoteName, remoteType});
}

QStringList authorizeRetry(const QString &configPath, const QString &remoteType)
{
    return withConfig(configPath, {QStringLiteral("authorize"), remoteType});
}

QStringList reconnect(const QString &configPath, const QString &remoteName)
{
    return withConfig(configPath, {QStringLiteral("config"), QStringLiteral("reconnect"),
                                   remoteName + QLatin1Char(':')});
}

QStringList updateDriveId(const QString &configPath, const QString &remoteName,
                          const QString &driveId)
{
    return withConfig(configPath, {QStringLiteral("config"), QStringLiteral("update"), remoteName,
                                   QStringLiteral("drive_id"), driveId});
}

QStringList createWithCredentials(const QString &configPath, const QString &remoteName,
                                  const QString &remoteType, const QStringList &keysAndValues)
{
    return webSignInCreate(configPath, remoteName, remoteType) + keysAndValues;
}

QStringList copy(const QString &configPath, const QString &filePath, const QString &remoteName)
{
    return withConfig(configPath,
                      {QStringLiteral("copy"), filePath, remoteName + QStringLiteral(":/"),
                       QStringLiteral("--progress"), QStringLiteral("--stats=1s")});
}

QStringList backendFeatures(const QString &configPath, const QString &remoteName)
{
    return withConfig(configPath, {QStringLiteral("backend"), QStringLiteral("features"),
                                   remoteName + QLatin1Char(':')});
}

QStringList copyTo(const QString &configPath, const QString &filePath, const QString &remoteName,
                   const QString &nameOnRemote)
{
    return withConfig(configPath, {QStringLiteral("copyto"), filePath,
                                   remoteName + QStringLiteral(":/") + nameOnRemote,
                                   QStringLiteral("--progress"), QStringLiteral("--stats=1s")});
}

QStringList link(const QString &configPath, const QString &remoteName, const QString &fileName)
{
    return withConfig(configPath,
                      {QStringLiteral("link"), remoteName + QStringLiteral(":/") + fileName});
}

QStringList remoteControl()
{
    return {QStringLiteral("rcd"), QStringLiteral("--rc-addr"), QStringLiteral("127.0.0.1:0")};
}

} // namespace skyloft::RcloneCommands
