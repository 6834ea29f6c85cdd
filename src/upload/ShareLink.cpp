// SPDX-License-Identifier: MIT
#include "upload/ShareLink.h"

#include "core/Log.h"
#include "core/RcloneCommands.h"
#include "core/RcloneRunner.h"
#include "core/Utf8.h"
#include "upload/GeneratedLinks.h"

#include <QPointer>
#include <QProcess>

namespace skyloft {

void fetchShareLink(QObject *owner, const RclonePaths &paths, const QString &remoteName,
                    const QString &fileName, ShareLinkHandler onResult)
{
    const auto later = [owner, onResult](std::optional<QString> link) {
        QMetaObject::invokeMethod(
            owner, [onResult, link] { onResult(link); }, Qt::QueuedConnection);
    };
    const QString program = paths.currentRclonePath();
    if (program.isEmpty()) {
        later(std::nullopt);
        return;
    }

    auto *process = new QProcess(owner);
    process->setProgram(program);
    process->setArguments(RcloneCommands::link(paths.rcloneConfigPath(), remoteName, fileName));
    process->setProcessEnvironment(toProcessEnvironment(makeRcloneEnvironment(paths)));
    // Only standard output is the link; QProcess keeps reading it while the child runs, so a
    // long output never stalls the child.
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->setStandardInputFile(QProcess::nullDevice());

    QObject::connect(process, &QProcess::finished, process, [process, onResult] {
        process->deleteLater();
        const std::optional<QString> text = decodeUtf8Strictly(process->readAllStandardOutput());
        onResult(text ? std::optional<QString>(text->trimmed()) : std::nullopt);
    });
    QObject::connect(
        process, &QProcess::errorOccurred, process, [process, later](QProcess::ProcessError error) {
            if (error != QProcess::FailedToStart)
                return;
            logLine(QStringLiteral("❌ Error obteniendo URL: ") + process->errorString());
            process->deleteLater();
            later(std::nullopt);
        });
    process->start();
}

void publishShareLink(QObject *owner, const RclonePaths &paths, const CopyJob &job,
                      GeneratedLinks *links, std::function<void()> onEnded)
{
    const QPointer<GeneratedLinks> target(links);
    fetchShareLink(
        owner, paths, job.remoteName, job.fileName,
        [target, job, onEnded](const std::optional<QString> &link) {
            if (link) {
                if (target) {
                    QMetaObject::invokeMethod(
                        target.data(),
                        [target, remoteName = job.remoteName, fileName = job.fileName,
                         text = *link] { recordLink(*target, remoteName, fileName, text); },
                        Qt::QueuedConnection);
                }
                logLine(QStringLiteral("Enlace generado para ") + job.fileName +
                        QStringLiteral(" en ") + job.service + QStringLiteral(": ") + *link);
            } else {
                logLine(QStringLiteral("❌ No se pudo obtener el enlace para ") + job.fileName +
                        QStringLiteral(" en ") + job.service);
            }
            onEnded();
        });
}

void recordLink(GeneratedLinks &links, const QString &remoteName, const QString &fileName,
                const QString &link)
{
    links.append(remoteName, LinkItem{fileName, link});
}

} // namespace skyloft
