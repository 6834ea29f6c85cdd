// SPDX-License-Identifier: MIT
#include "core/RclonePaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace skyloft {

RclonePaths::RclonePaths(QString resourceDir, QString homeDir, QString configPath)
    : m_resourceDir(std::move(resourceDir)), m_homeDir(std::move(homeDir)),
      m_configPath(configPath.isEmpty() ? findConfigPath(m_homeDir, {}) : std::move(configPath)),
      m_globalRclonePath(currentRclonePath())
{}

const RclonePaths &RclonePaths::process()
{
    static const RclonePaths paths(
        defaultResourceDir(), QDir::homePath(),
        findConfigPath(QDir::homePath(), QProcessEnvironment::systemEnvironment()));
    return paths;
}

QString RclonePaths::findConfigPath(const QString &homeDir, const QProcessEnvironment &environment)
{
    const QString given = environment.value(QStringLiteral("RCLONE_CONFIG"));
    if (!given.isEmpty())
        return given;
    const QString xdg = environment.value(QStringLiteral("XDG_CONFIG_HOME"));
    const QString standard = (xdg.isEmpty() ? homeDir + QStringLiteral("/.config") : xdg) +
                             QStringLiteral("/rclone/rclone.conf");
    // rclone checks with stat, which follows links: a dangling link is no file.
    if (QFileInfo::exists(standard))
        return standard;
    const QString hidden = homeDir + QStringLiteral("/.rclone.conf");
    return QFileInfo::exists(hidden) ? hidden : standard;
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
