// SPDX-License-Identifier: MIT
#include "core/RcloneChild.h"

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace skyloft {

void dieWithSkyloft(QProcess &process)
{
    const pid_t parent = ::getpid();
    // Runs in the child between fork and exec: async-signal-safe calls only. If we died before
    // prctl took effect, the child has been re-parented already and must not go on.
    process.setChildProcessModifier([parent] {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127);
    });
}

QProcess *startRcloneChild(QObject *owner, const QString &program, const QStringList &arguments,
                           const QProcessEnvironment &environment,
                           QProcess::ProcessChannelMode channels, RcloneChildEnded onEnded)
{
    auto *process = new QProcess(owner);
    process->setProgram(program);
    process->setArguments(arguments);
    process->setProcessEnvironment(environment);
    process->setProcessChannelMode(channels);
    process->setStandardInputFile(QProcess::nullDevice());
    dieWithSkyloft(*process);

    QObject::connect(process, &QProcess::finished, process,
                     [process, onEnded](int exitCode, QProcess::ExitStatus status) {
                         process->deleteLater();
                         RcloneChildEnd end;
                         end.exitCode = exitCode;
                         end.crashed = status == QProcess::CrashExit;
                         onEnded(process, end);
                     });
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, onEnded](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart)
                             return; // a crash or a kill still ends in finished()
                         RcloneChildEnd end;
                         end.started = false;
                         end.error = process->errorString();
                         // May come from inside start(): the caller hears of it afterwards.
                         QMetaObject::invokeMethod(
                             process,
                             [process, onEnded, end] {
                                 process->deleteLater();
                                 onEnded(process, end);
                             },
                             Qt::QueuedConnection);
                     });
    process->start();
    return process;
}

void stopQuietly(QProcess *process)
{
    if (!process)
        return;
    QObject::disconnect(process, nullptr, nullptr, nullptr);
    if (process->state() != QProcess::NotRunning) {
        process->kill();
        process->waitForFinished(-1); // SIGKILL: the child is reaped at once
    }
    delete process;
}

} // namespace skyloft
