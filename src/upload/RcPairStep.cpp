// SPDX-License-Identifier: MIT
#include "upload/RcPairStep.h"

#include "core/Log.h"
#include "upload/RcAnswers.h"
#include "upload/RcClient.h"

#include <QTimer>

namespace skyloft {

PairStepFactory RcPairStep::factory(RcClient *client, const RclonePaths &paths)
{
    return [client, paths](QObject *parent) -> PairStep * {
        return new RcPairStep(client, paths, parent);
    };
}

RcPairStep::RcPairStep(RcClient *client, RclonePaths paths, QObject *parent)
    : PairStep(parent), m_client(client), m_paths(std::move(paths))
{}

void RcPairStep::start(const CopyJob &job)
{
    m_job = job;
    m_cancelled = false;
    m_copyEnded = false;
    m_copyFailed = false;
    m_copyDetail.clear();
    m_outcome = outcomeFor(job);
    m_ticket = m_client->copyFile(
        m_job.filePath, m_job.remoteName, m_job.nameOnRemote(),
        [this](const RcCopyStats &stats) {
            Q_EMIT transferred(stats.bytes, stats.size, stats.speed);
            if (stats.size > 0)
                Q_EMIT progress(double(stats.bytes) / double(stats.size));
        },
        [this](const RcReply &reply) { copyEnded(reply); });
}

void RcPairStep::copyEnded(const RcReply &reply)
{
    m_ticket = 0;
    if (reply.daemonGone) {
        Q_EMIT engineLost();
        return;
    }
    Q_EMIT progress(1.0);
    logLine(QStringLiteral("Resultado de 'copy' para ") + m_job.service +
            QStringLiteral(" en archivo ") + m_job.filePath + QStringLiteral(": ") + reply.text());
    m_copyEnded = true;
    m_copyFailed = !reply.ok;
    m_copyDetail = reply.error;
    // The link is asked for whatever the copy did; the copy's outcome still decides the pair's.
    m_ticket = m_client->publicLink(m_job.remoteName, m_job.nameOnRemote(), m_job.linkExpiry,
                                    [this](const RcReply &answer) { linkEnded(answer); });
}

void RcPairStep::linkEnded(const RcReply &reply)
{
    m_ticket = 0;
    if (reply.daemonGone) {
        Q_EMIT engineLost();
        return;
    }
    const std::optional<QString> link = reply.ok ? rcPublicLink(reply.answer) : std::nullopt;
    if (!link) {
        logLine(QStringLiteral("❌ No se pudo obtener el enlace para ") + m_job.nameOnRemote() +
                QStringLiteral(" en ") + m_job.service);
        finish(m_copyFailed ? PairState::CopiaFallida : PairState::EnlaceFallido,
               m_copyFailed ? m_copyDetail : reply.text());
        return;
    }
    logLine(QStringLiteral("Enlace generado para ") + m_job.nameOnRemote() +
            QStringLiteral(" en ") + m_job.service + QStringLiteral(": ") + *link);
    if (reply.expiryNotApplied && !link->isEmpty())
        logLine(expiryNotAppliedLine(m_job));
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
    // The daemon gives no exit code; its error text is all rclone said.
    if (state == PairState::CopiaFallida || state == PairState::EnlaceFallido) {
        m_outcome.exitCode = -1;
        m_outcome.rcloneOutput = detail;
    }
    Q_EMIT ended(m_outcome);
}

void RcPairStep::cancel()
{
    if (m_cancelled || !m_ticket)
        return;
    m_cancelled = true;
    // The call under way, copy or link, ends quietly; the pair ends cancelled right after.
    m_client->cancel(std::exchange(m_ticket, 0));
    QTimer::singleShot(0, this, [this] { finish(PairState::Cancelado, QString()); });
}

PairOutcome RcPairStep::abandon()
{
    if (m_ticket && m_client)
        m_client->cancel(std::exchange(m_ticket, 0));
    return interruptedOutcome(m_outcome, m_copyEnded, m_copyFailed, m_copyDetail);
}

} // namespace skyloft
