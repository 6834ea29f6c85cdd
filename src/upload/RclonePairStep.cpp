// SPDX-License-Identifier: MIT
#include "upload/RclonePairStep.h"

#include "core/Log.h"
#include "core/RcloneChild.h"
#include "core/RcloneCommands.h"
#include "core/RcloneRunner.h"
#include "core/Utf8.h"
#include "upload/CopyProgress.h"

#include <QTimer>

#include <cstdio>

namespace skyloft {

namespace {

constexpr int kKillAfterTerminateMs = 5000;

} // namespace

PairStepFactory RclonePairStep::factory(const RclonePaths &paths)
{
    return [paths](QObject *parent) -> PairStep * { return new RclonePairStep(paths, parent); };
}

RclonePairStep::RclonePairStep(RclonePaths paths, QObject *parent)
    : PairStep(parent), m_paths(std::move(paths))
{}

RclonePairStep::~RclonePairStep()
{
    stopQuietly(m_process);
}

void RclonePairStep::start(const CopyJob &job)
{
    m_job = job;
    m_cancelled = false;
    m_copyEnded = false;
    m_copyFailed = false;
    m_expiryRefused = false;
    m_copyDetail.clear();
    m_lastLine.clear();
    m_tail.clear();
    m_outcome = outcomeFor(job);

    const QString program = m_paths.globalRclonePath();
    if (program.isEmpty()) {
        QTimer::singleShot(0, this, [this] {
            copyEnded(nullptr, false, kGlobalRclonePathVacio, kGlobalRclonePathVacio);
        });
        return;
    }
    QStringList arguments = job.renamedTo.isEmpty()
                                ? copyArguments(m_paths, job.filePath, job.remoteName)
                                : RcloneCommands::copyTo(m_paths.rcloneConfigPath(), job.filePath,
                                                         job.remoteName, job.renamedTo);
    // Only when asked: without a limit the arguments are the usual ones.
    if (!job.bandwidthLimit.isEmpty())
        arguments << QStringLiteral("--bwlimit") << job.bandwidthLimit;
    m_process = startRcloneChild(
        this, program, arguments, toProcessEnvironment(makeRcloneEnvironment(m_paths)),
        QProcess::MergedChannels, [this](QProcess *process, const RcloneChildEnd &end) {
            m_exitCode = end.started ? end.exitCode : -1;
            if (!end.started) {
                const QString text = QStringLiteral("❌ ") + kErrorEjecutandoRclone + end.error;
                copyEnded(process, false, text, text);
                return;
            }
            Q_EMIT progress(1.0);
            const QString rest = decodeUtf8Strictly(process->readAll()).value_or(QString());
            m_tail.add(rest);
            copyEnded(process, end.succeeded(), rest, QString());
        });
    connect(m_process, &QProcess::readyReadStandardOutput, this, [this] {
        const QByteArray piece = m_process->readAllStandardOutput();
        const CopyChunkReading reading = readCopyChunk(piece);
        for (const QString &line : reading.lines)
            logLine(line);
        if (const std::optional<QString> text = decodeUtf8Strictly(piece)) {
            m_tail.add(*text);
            const QString line = lastMeaningfulLine(*text);
            if (!line.isEmpty())
                m_lastLine = line;
            if (const std::optional<TransferLine> moved = readTransferLine(*text))
                Q_EMIT transferred(moved->bytes, moved->total, moved->speed);
        }
        if (reading.fraction)
            Q_EMIT progress(*reading.fraction);
    });
}

void RclonePairStep::copyEnded(QProcess *process, bool succeeded, const QString &rest,
                               const QString &error)
{
    if (process == m_process)
        m_process = nullptr;
    logLine(QStringLiteral("Resultado de 'copy' para ") + m_job.service +
            QStringLiteral(" en archivo ") + m_job.filePath + QStringLiteral(": ") + rest);
    if (m_cancelled) {
        finish(PairState::Cancelado, QString());
        return;
    }
    m_copyEnded = true;
    m_copyFailed = !succeeded;
    if (m_copyFailed) {
        const QString restLine = lastMeaningfulLine(rest);
        m_copyDetail = !error.isEmpty()        ? error
                       : !restLine.isEmpty()   ? restLine
                       : !m_lastLine.isEmpty() ? m_lastLine
                                               : QStringLiteral("rclone terminó con error");
        m_copyExitCode = m_exitCode;
        m_copyOutput = error.isEmpty() ? m_tail.text() : error;
    }
    // The link is asked for whatever the copy did; the copy's status still decides the outcome.
    startLink();
}

void RclonePairStep::startLink()
{
    const QString program = m_paths.currentRclonePath();
    if (program.isEmpty()) {
        logLine(QStringLiteral("❌ No se pudo obtener el enlace para ") + m_job.nameOnRemote() +
                QStringLiteral(" en ") + m_job.service);
        finish(m_copyFailed ? PairState::CopiaFallida : PairState::EnlaceFallido,
               m_copyFailed ? m_copyDetail : QStringLiteral("No se encontró rclone"));
        return;
    }
    m_lastLine.clear();
    m_tail.clear();
    QStringList arguments =
        RcloneCommands::link(m_paths.rcloneConfigPath(), m_job.remoteName, m_job.nameOnRemote());
    m_expiryAsked = !m_job.linkExpiry.isEmpty() && !m_expiryRefused;
    if (m_expiryAsked)
        arguments << QStringLiteral("--expire") << m_job.linkExpiry;
    m_process = startRcloneChild(
        this, program, arguments, toProcessEnvironment(makeRcloneEnvironment(m_paths)),
        QProcess::SeparateChannels, [this](QProcess *process, const RcloneChildEnd &end) {
            m_exitCode = end.started ? end.exitCode : -1;
            linkEnded(process, end.succeeded(), end.started ? QString() : end.error);
        });
    // Only standard output is the link. Standard error still reaches ours, and its last line
    // explains a failure.
    connect(m_process, &QProcess::readyReadStandardError, this, [this] {
        const QByteArray bytes = m_process->readAllStandardError();
        std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
        std::fflush(stderr);
        m_tail.add(QString::fromUtf8(bytes));
        const QString line = lastMeaningfulLine(QString::fromUtf8(bytes));
        if (!line.isEmpty())
            m_lastLine = line;
    });
}

void RclonePairStep::linkEnded(QProcess *process, bool succeeded, const QString &error)
{
    if (process == m_process)
        m_process = nullptr;
    if (m_cancelled) {
        finish(PairState::Cancelado, QString());
        return;
    }
    const QString noLink = QStringLiteral("❌ No se pudo obtener el enlace para ") +
                           m_job.nameOnRemote() + QStringLiteral(" en ") + m_job.service;
    if (!error.isEmpty()) {
        logLine(QStringLiteral("❌ Error obteniendo URL: ") + error);
        logLine(noLink);
        finish(m_copyFailed ? PairState::CopiaFallida : PairState::EnlaceFallido,
               m_copyFailed ? m_copyDetail : error);
        return;
    }
    if (!succeeded && m_expiryAsked && !m_copyFailed) {
        // Some services refuse an expiry (or any at all): a link without one is still worth
        // having.
        m_expiryRefused = true;
        startLink();
        return;
    }
    const std::optional<QString> text = decodeUtf8Strictly(process->readAllStandardOutput());
    if (!text) {
        logLine(noLink);
        finish(m_copyFailed ? PairState::CopiaFallida : PairState::EnlaceFallido,
               m_copyFailed ? m_copyDetail : QStringLiteral("El enlace no es texto UTF-8"));
        return;
    }
    const QString link = text->trimmed();
    logLine(QStringLiteral("Enlace generado para ") + m_job.nameOnRemote() +
            QStringLiteral(" en ") + m_job.service + QStringLiteral(": ") + link);
    if (succeeded && m_expiryRefused && !link.isEmpty())
        logLine(expiryNotAppliedLine(m_job));
    if (m_copyFailed) {
        finish(PairState::CopiaFallida, m_copyDetail);
    } else if (!succeeded || link.isEmpty()) {
        finish(PairState::EnlaceFallido,
               !m_lastLine.isEmpty() ? m_lastLine : QStringLiteral("rclone no dio ningún enlace"));
    } else {
        finish(PairState::Subido, QString(), link);
    }
}

void RclonePairStep::finish(PairState state, const QString &detail, const QString &link)
{
    m_outcome.state = state;
    m_outcome.detail = detail;
    m_outcome.link = link;
    if (state == PairState::CopiaFallida || state == PairState::EnlaceFallido) {
        const bool copyFailed = state == PairState::CopiaFallida;
        m_outcome.exitCode = copyFailed ? m_copyExitCode : m_exitCode;
        m_outcome.rcloneOutput = copyFailed ? m_copyOutput : m_tail.text();
    }
    Q_EMIT ended(m_outcome);
}

void RclonePairStep::cancel()
{
    if (m_cancelled)
        return;
    m_cancelled = true;
    if (!m_process)
        return;
    // rclone ends cleanly on SIGTERM; one that does not is killed a little later.
    m_process->terminate();
    QTimer::singleShot(kKillAfterTerminateMs, m_process.data(), &QProcess::kill);
}

PairOutcome RclonePairStep::abandon()
{
    stopQuietly(std::exchange(m_process, nullptr));
    return interruptedOutcome(m_outcome, m_copyEnded, m_copyFailed, m_copyDetail);
}

} // namespace skyloft
