// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QProcess>
#include <QStringList>

#include <functional>

namespace skyloft::test {

// How a run of the built skyloft ended (its exit status, -1 when it crashed or was killed) and
// what it printed.
struct SkyloftRun
{
    int exitCode = -1;
    QStringList out; // standard output, line by line
    QString err;

    // The end of both streams, for failure messages.
    QString describe() const;
};

// Sets `process` up to run the built skyloft as a user would: in `workDir`, with `home` as its
// home (its history included) and, when given, `resources` as its resource folder.
void setUpSkyloft(QProcess &process, const QString &home, const QString &resources = {},
                  const QString &workDir = {});

// Runs the built skyloft to its end; `onLine` sees each line of standard output as it comes,
// while the run goes on.
SkyloftRun runSkyloft(const QStringList &arguments, const QString &home,
                      const QString &resources = {}, const QString &workDir = {},
                      const std::function<void(const QString &, QProcess &)> &onLine = {});

// The rclone processes whose parent is `parent`, zombies included.
QList<pid_t> rcloneChildren(qint64 parent);

// Alive and not a zombie waiting to be reaped.
bool running(pid_t pid);

} // namespace skyloft::test
