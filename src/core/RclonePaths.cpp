// SPDX-License-Identifier: MIT
#include "core/RclonePaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace skyloft {

RclonePaths::RclonePaths(QString resourceDir, QString homeDir)
    : m_resourceDir(std::move(resourceDir)), m_homeDir(std::move(homeDir)),
      m_configPath(m_homeDir + QStringLiteral("/.rclone.conf")),
      m_globalRclonePath(currentRclonePath())
{}

const RclonePaths &RclonePaths::process()
{
    static const RclonePaths paths(defaultResourceDir(), QDir::homePath());
    return paths;
}

QString RclonePaths::defaultResourceDir()
{
    const QString fromEnv = qEnvironmentVariable("SKYLOFT_RESOURCE_DIR");
    if (!fromEnv.isEmpty())
        return fromEnv;
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../share/skyloft"));
}

QString RclonePaths::currentRclonePath() const
{
    if (m_resourceDir.isEmpty())
        return {};
    const QFileInfo info(m_resourceDir + QStringLiteral("/rclone"));
    if (!info.exists() || info.isDir())
        return {};
    return info.absoluteFilePath();
}

QString RclonePaths::authorizationRclonePath() const
{
    const QString path = currentRclonePath();
    return path.isEmpty() ? QStringLiteral("/usr/local/bin/rclone") : path;
}

} // namespace skyloft
