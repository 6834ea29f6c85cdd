// SPDX-License-Identifier: MIT
#pragma once

#include <QProcessEnvironment>
#include <QString>

namespace skyloft {

// Where rclone and its configuration file are. The process-wide instance is fixed at first use;
// code that runs rclone is handed an instance, so tests can build their own.
class RclonePaths
{
public:
    // resourceDir holds the "rclone" executable shipped with the application (or not). Without a
    // configPath, the file is rclone's own choice in homeDir, as if no variable were set.
    RclonePaths(QString resourceDir, QString homeDir, QString configPath = {});

    // From $SKYLOFT_RESOURCE_DIR, else <executable dir>/../share/skyloft, the home folder and
    // the configuration file rclone would use in this environment. Initialised once, safely
    // under concurrent first use.
    static const RclonePaths &process();
    static QString defaultResourceDir();

    // The file rclone itself uses: RCLONE_CONFIG when set, else rclone.conf in
    // $XDG_CONFIG_HOME/rclone (~/.config/rclone) when it exists, else ~/.rclone.conf when that
    // exists, else the former, which is where a new file goes.
    static QString findConfigPath(const QString &homeDir, const QProcessEnvironment &environment);

    QString homeDir() const { return m_homeDir; }
    QString resourceDir() const { return m_resourceDir; }
    QString rcloneConfigPath() const { return m_configPath; }

    // The resource looked up once, at construction; empty when there was none.
    QString globalRclonePath() const { return m_globalRclonePath; }
    // The resource looked up afresh, falling back to /usr/local/bin/rclone.
    QString authorizationRclonePath() const;
    // The resource looked up afresh, without fallback (empty when missing).
    QString currentRclonePath() const;

private:
    QString m_resourceDir;
    QString m_homeDir;
    QString m_configPath;
    QString m_globalRclonePath;
};

} // namespace skyloft
