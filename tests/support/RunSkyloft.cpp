// SPDX-License-Identifier: MIT
#include "RunSkyloft.h"

#include "FakeRclone.h"

#include <QDir>
#include <QSignalSpy>

namespace skyloft::test {

QString SkyloftRun::describe() const
{
    // Concatenated, not QString::arg: the output holds percent signs.
    return QStringLiteral("\nexit ") + QString::number(exitCode) +
           QStringLiteral("\n--- last lines of stdout ---\n") +
           out.mid(qMax<qsizetype>(0, out.size() - 60)).join(QLatin1Char('\n')) +
           QStringLiteral("\n--- end of stderr ---\n") + err.right(4000);
}

void setUpSkyloft(QProcess &process, const QString &home, const QString &resources,
                  const QString &workDir)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // rclone's S3 client reads this bundle and then fails on the sandbox's plain-HTTP server.
    environment.remove(QStringLiteral("AWS_CA_BUNDLE"));
    // The history belongs to the home given, also when the suite runs inside tools/sandbox.
    environment.remove(QStringLiteral("SKYLOFT_HISTORY_FILE"));
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
    if (!resources.isEmpty())
        environment.insert(QStringLiteral("SKYLOFT_RESOURCE_DIR"), resources);
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(workDir);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setProgram(QStringLiteral(SKYLOFT_BIN_DIR "/skyloft"));
}

SkyloftRun runSkyloft(const QStringList &arguments, const QString &home, const QString &resources,
                      const QString &workDir,
                      const std::function<void(const QString &, QProcess &)> &onLine)
{
    QProcess process;
    setUpSkyloft(process, home, resources, workDir);
    process.setArguments(arguments);
    SkyloftRun run;
    QByteArray pending;
    const auto takeLines = [&] {
        pending += process.readAllStandardOutput();
        for (qsizetype end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n')) {
            run.out << QString::fromUtf8(pending.left(end));
            pending.remove(0, end + 1);
            if (onLine)
                onLine(run.out.last(), process);
        }
    };
    QObject::connect(&process, &QProcess::readyReadStandardOutput, &process, takeLines);
    QSignalSpy finished(&process, &QProcess::finished);
    process.start();
    // CTest's timeout bounds the run; this wait only has to outlast it.
    const bool ended = process.waitForStarted(-1) && finished.wait(3600000);
    takeLines();
    run.exitCode = ended && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// /proc/PID/stat: pid (comm) state ppid ...
QList<pid_t> rcloneChildren(qint64 parent)
{
    QList<pid_t> children;
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        const QByteArray line =
            readFile(QStringLiteral("/proc/") + entry + QStringLiteral("/stat"));
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (line.contains("(rclone)") && fields.size() > 1 && fields.at(1).toLongLong() == parent)
            children << pid_t(entry.toInt());
    }
    return children;
}

// Alive and not a zombie waiting to be reaped.
bool running(pid_t pid)
{
    const QByteArray line = readFile(QStringLiteral("/proc/%1/stat").arg(pid));
    return !line.isEmpty() && line.mid(line.lastIndexOf(')') + 2, 1) != "Z";
}

} // namespace skyloft::test
