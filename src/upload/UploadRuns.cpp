// SPDX-License-Identifier: MIT
#include "upload/UploadRuns.h"

#include "core/Settings.h"

#include "upload/UploadState.h"

#include <QSignalBlocker>

namespace skyloft {

namespace {

constexpr int kDefaultTransfers = 4;

} // namespace

int UploadRuns::transfersFromEnvironment()
{
    return positiveFromEnvironment("SKYLOFT_TRANSFERS", kDefaultTransfers);
}

UploadRuns::UploadRuns(RclonePaths paths, QObject *parent)
    : QObject(parent), m_paths(std::move(paths)), m_transfers(transfersFromEnvironment())
{}

UploadRuns::~UploadRuns()
{
    QSignalBlocker quiet(this);
    discard(nullptr);
}

void UploadRuns::discard(UploadState *state)
{
    // Runs stop their children quietly; only the progress, which they no longer hold, is said.
    const qsizetype before = m_runs.size();
    for (UploadRun *run : QList<UploadRun *>(m_runs)) {
        if (state && run->state() != state)
            continue;
        m_runs.removeOne(run);
        QObject::disconnect(run, nullptr, this, nullptr);
        delete run;
    }
    if (m_runs.size() != before)
        Q_EMIT progressChanged();
}

void UploadRuns::setSteps(PairStepFactory factory, UploadRun::Order order, int transfers)
{
    m_steps = std::move(factory);
    m_order = order;
    m_stepTransfers = transfers;
}

UploadRun *UploadRuns::startUpload(UploadState *state, RunOrigin origin)
{
    UploadRun *run = UploadRun::fromUploadButton(state, m_paths, this);
    return run ? adopt(run, origin) : nullptr;
}

UploadRun *UploadRuns::retry(const QList<PairOutcome> &pairs, RunOrigin origin)
{
    return adopt(new UploadRun(pairs, m_paths, this), origin);
}

UploadRun *UploadRuns::adopt(UploadRun *run, RunOrigin origin)
{
    run->setOrigin(origin);
    run->setEngine(m_engine);
    run->setTransfers(m_transfers);
    run->setBandwidthLimit(m_bandwidthLimit);
    run->setLinkExpiry(m_linkExpiry);
    if (m_steps)
        run->setSteps(m_steps, m_order, m_stepTransfers);
    m_runs << run;
    connect(run, &UploadRun::pairFinished, this,
            [this, run](const PairOutcome &outcome) { Q_EMIT pairFinished(run, outcome); });
    connect(run, &UploadRun::stalled, this,
            [this, run](const QString &service, const QString &fileName, int seconds) {
                Q_EMIT stalled(run, service, fileName, seconds);
            });
    connect(run, &UploadRun::progressChanged, this, &UploadRuns::progressChanged);
    connect(run, &UploadRun::finished, this, [this, run] {
        m_runs.removeOne(run);
        Q_EMIT progressChanged();
        Q_EMIT runFinished(run);
        run->deleteLater();
    });
    Q_EMIT runStarted(run);
    Q_EMIT progressChanged();
    QMetaObject::invokeMethod(run, &UploadRun::start, Qt::QueuedConnection);
    return run;
}

double UploadRuns::progress() const
{
    qsizetype services = 0;
    double sum = 0.0;
    for (const UploadRun *run : m_runs) {
        // A run weighs as many services as it has.
        const qsizetype count = run->serviceCount();
        services += count;
        sum += run->progress() * double(count);
    }
    return services > 0 ? sum / double(services) : 0.0;
}

void UploadRuns::setBandwidthLimit(const QString &rate)
{
    m_bandwidthLimit = rate;
    for (UploadRun *run : std::as_const(m_runs))
        run->setBandwidthLimit(rate);
}

void UploadRuns::cancelService(UploadState *state, const QString &service)
{
    for (UploadRun *run : std::as_const(m_runs)) {
        if (run->state() == state)
            run->cancelService(service);
    }
}

void UploadRuns::cancelAll(UploadState *state)
{
    bool stopped = false;
    for (UploadRun *run : QList<UploadRun *>(m_runs)) {
        if (run->state() == state) {
            run->stop(UploadRun::StopReason::CancelAll);
            stopped = true;
        }
    }
    if (!stopped)
        state->cancelAll();
}

void UploadRuns::stopAll(UploadRun::StopReason reason)
{
    for (UploadRun *run : QList<UploadRun *>(m_runs))
        run->stop(reason);
}

} // namespace skyloft
