// SPDX-License-Identifier: MIT
#pragma once

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

} // namespace skyloft::test
