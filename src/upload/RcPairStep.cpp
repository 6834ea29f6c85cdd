// SPDX-License-Identifier: MIT
#include "upload/RcPairStep.h"

#include "core/Log.h"
#include "upload/RcAnswers.h"
#include "upload/RcClient.h"
#include "upload/RclonePairStep.h"
#include "upload/UploadRun.h"

#include <QTimer>

namespace skyloft {

PairStepFactory RcPairStep::factory(const RclonePaths &paths)
{
    return [paths](QObject *parent) -> PairStep * {
        auto *client = parent->findChild<RcClient *>(QString(), Qt::FindDirectChildrenOnly);
        if (!client) {
            client = new RcClient(paths, parent);
            if (auto *run = qobject_cast<UploadRun *>(parent))
                QObject::connect(run, &UploadRun::finished, client, &RcClient::stopAll);
        }
        return new RcPairStep(client, paths, parent);
    };
}

void useSubidaRapida(UploadRun &run, const RclonePaths &paths)
{
    run.setStepFactory(RcPairStep::factory(paths));
    run.setOrder(UploadRun::Order::ServicesSideBySide);
}

RcPairStep::RcPairStep(RcClient *client, RclonePaths paths, QObject *parent)
    : PairStep(parent), m_client(client), m_paths(std::move(paths))
{}

void RcPairStep::start(const CopyJob &job)
{
    m_job = job;
    m_cancelled = false;
    m_copyFailed = false;
    m_copyDetail.clear();
    m_ticket = 0;
    m_outcome = outcomeFor(job);
    m_client->whenReady([this](const QString &error) {
        if (error.isEmpty()) {
            startCopy();
            return;
        }
        if (!m_fallback)
            logLine(QStringLiteral("⚠️ Subida rápida no disponible (") + error +
                    QStringLiteral("); se sube con un proceso por archivo."));
        fallback()->start(m_job);
    });
}

PairStep *RcPairStep::fallback()
{
    if (!m_fallback) {
        m_fallback = RclonePairStep::factory(m_paths)(this);
        connect(m_fallback, &PairStep::progress, this, &PairStep::progress);
        connect(m_fallback, &PairStep::stalled, this, &PairStep::stalled);
        connect(m_fallback, &PairStep::ended, this, &PairStep::ended);
    }
    return m_fallback;
}

void RcPairStep::startCopy()
{
    if (m_cancelled) {
        finish(PairState::Cancelado, QString());
        return;
    }
    m_ticket = m_client->copyFile(
        m_job.filePath, m_job.remoteName, m_job.fileName,
        [this](const RcCopyStats &stats) {
            if (stats.size > 0)
                Q_EMIT progress(double(stats.bytes) / double(stats.size));
        },
        [this](const RcReply &reply) { copyEnded(reply); });
}

void RcPairStep::copyEnded(const RcReply &reply)
{
    m_ticket = 0;
    if (reply.daemonGone) {
        // No daemon any more: this pair and the later ones go through processes.
        fallback()->start(m_job);
        return;
    }
    Q_EMIT progress(1.0);
    logLine(QStringLiteral("Resultado de 'copy' para ") + m_job.service +
            QStringLiteral(" en archivo ") + m_job.filePath + QStringLiteral(": ") + reply.text());
    if (m_cancelled) {
        finish(PairState::Cancelado, QString());
        return;
    }
    m_copyFailed = !reply.ok;
    m_copyDetail = reply.error;
    // The link is asked for whatever the copy did; the copy's outcome still decides the pair's.
    m_client->publicLink(m_job.remoteName, m_job.fileName, QString(),
                         [this](const RcReply &answer) { linkEnded(answer); });
}

void RcPairStep::linkEnded(const RcReply &reply)
{
    if (reply.daemonGone && !m_cancelled) {
        fallback()->start(m_job);
        return;
    }
    if (m_cancelled) {
        finish(PairState::Cancelado, QString());
        return;
    }
    const std::optional<QString> link = reply.ok ? rcPublicLink(reply.answer) : std::nullopt;
    if (!link) {
        logLine(QStringLiteral("❌ No se pudo obtener el enlace para ") + m_job.fileName +
                QStringLiteral(" en ") + m_job.service);
        finish(m_copyFailed ? PairState::CopiaFallida : PairState::EnlaceFallido,
               m_copyFailed ? m_copyDetail : reply.text());
        return;
    }
    logLine(QStringLiteral("Enlace generado para ") + m_job.fileName + QStringLiteral(" en ") +
            m_job.service + QStringLiteral(": ") + *link);
    if (m_copyFailed)
        finish(PairState::CopiaFallida, m_copyDetail);
    else if (link->isEmpty())
        finish(PairState::EnlaceFallido, QStringLiteral("rclone no dio ningún enlace"));
    else
        finish(PairState::Subido, QString(), *link);
}

void RcPairStep::finish(PairState state, const QString &detail, const QString &link)
{
    m_outcome.state = state;
    m_outcome.detail = detail;
    m_outcome.link = link;
    Q_EMIT ended(m_outcome);
}

void RcPairStep::cancel()
{
    if (m_fallback) {
        m_fallback->cancel();
        return;
    }
    if (m_cancelled)
        return;
    m_cancelled = true;
    // A copy under way is stopped quietly; a link request is short and simply ends.
    if (m_ticket && m_client) {
        m_client->cancel(std::exchange(m_ticket, 0));
        QTimer::singleShot(0, this, [this] { finish(PairState::Cancelado, QString()); });
    }
}

} // namespace skyloft
