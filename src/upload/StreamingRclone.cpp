// SPDX-License-Identifier: MIT
#include "upload/StreamingRclone.h"

#include "core/Log.h"
#include "core/Utf8.h"
#include "upload/CopyProgress.h"

#include <QProcess>

namespace skyloft {

QProcess *runStreamingRclone(QObject *owner, const RclonePaths &paths, const QStringList &arguments,
                             const std::optional<RcloneEnvironment> &environment,
                             CopyProgressHandler onProgress, CopyDoneHandler onDone)
{
    const QString program = paths.globalRclonePath();
    if (program.isEmpty()) {
        QMetaObject::invokeMethod(
            owner, [onDone] { onDone(kGlobalRclonePathVacio); }, Qt::QueuedConnection);
        return nullptr;
    }

    auto *process = new QProcess(owner);
    process->setProgram(program);
    process->setArguments(arguments);
    if (environment)
        process->setProcessEnvironment(toProcessEnvironment(*environment));
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->setStandardInputFile(QProcess::nullDevice());

    QObject::connect(process, &QProcess::readyReadStandardOutput, process, [process, onProgress] {
        const CopyChunkReading reading = readCopyChunk(process->readAllStandardOutput());
        for (const QString &line : reading.lines)
            logLine(line);
        if (reading.fraction)
            onProgress(*reading.fraction);
    });
    QObject::connect(process, &QProcess::finished, process, [process, onProgress, onDone] {
        process->deleteLater();
        onProgress(1.0);
        onDone(decodeUtf8Strictly(process->readAll()).value_or(QString()));
    });
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [owner, process, onDone](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart)
                             return; // a crash or a kill still ends in finished()
                         const QString text =
                             QStringLiteral("❌ ") + kErrorEjecutandoRclone + process->errorString();
                         process->deleteLater();
                         QMetaObject::invokeMethod(
                             owner, [onDone, text] { onDone(text); }, Qt::QueuedConnection);
                     });
    process->start();
    return process;
}

} // namespace skyloft
