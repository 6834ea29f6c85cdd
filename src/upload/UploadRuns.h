// SPDX-License-Identifier: MIT
#pragma once

#include "core/RclonePaths.h"
#include "upload/PairOutcome.h"
#include "upload/UploadRun.h"

#include <QList>
#include <QObject>

namespace skyloft {

class UploadState;

// The one owner of upload runs: the only place that makes a run and chooses its engine. The
// upload screen, the links tab, the history and `skyloft upload` ask it for runs and listen to
// it, never to a run: it passes on every run's pairs, stall notices and end. A run is started on
// the next turn of the event loop, so whoever asked holds its pointer before anything of it is
// heard, and it is deleted after its end has been announced.
class UploadRuns : public QObject
{
    Q_OBJECT
public:
    explicit UploadRuns(RclonePaths paths, QObject *parent = nullptr);
    ~UploadRuns() override;

    // The engine of the runs made from now on, new runs and retries alike.
    void setEngine(UploadRun::Engine engine) { m_engine = engine; }
    UploadRun::Engine engine() const { return m_engine; }
    // rclone's rate ("5M"; empty: none) for the runs under way (see UploadRun) and later ones.
    void setBandwidthLimit(const QString &rate);
    QString bandwidthLimit() const { return m_bandwidthLimit; }
    // How long the links of later runs last (rclone's duration, "7d"; empty: as the service likes).
    void setLinkExpiry(const QString &expiry) { m_linkExpiry = expiry; }
    QString linkExpiry() const { return m_linkExpiry; }
    // Another way of doing the pairs for the runs made from now on (tests, benchmarks).
    void setSteps(PairStepFactory factory, UploadRun::Order order, int transfers = 1);

    // The upload button over `state`: nothing when a selected service is not authorized (the
    // state's alert says so).
    UploadRun *startUpload(UploadState *state, RunOrigin origin = RunOrigin::UploadButton);
    // "Reintentar": these pairs again, each to its service under the name it had there.
    UploadRun *retry(const QList<PairOutcome> &pairs, RunOrigin origin);

    // A card's cancel: that service of every run over `state`.
    void cancelService(UploadState *state, const QString &service);
    // "Cancelar todo": every run over `state` stops now (see UploadRun::stop).
    void cancelAll(UploadState *state);
    // Every run stops now, each announcing its unfinished pairs.
    void stopAll(UploadRun::StopReason reason);
    // The runs over `state` (every run when null) end quietly, announcing no pair and no end:
    // what they would report to is going away.
    void discard(UploadState *state);

    QList<UploadRun *> runs() const { return m_runs; }
    // Whether a run is made and has not ended yet.
    bool isRunning() const { return !m_runs.isEmpty(); }
    // How far the runs under way are, 0 to 1: the mean of their services (see
    // UploadRun::progress); 0 when none.
    double progress() const;

    // Pairs in flight per service with the daemon: $SKYLOFT_TRANSFERS when it is a positive
    // number, else 4.
    static int transfersFromEnvironment();

Q_SIGNALS:
    // A run was made; it starts on the next turn of the event loop.
    void runStarted(skyloft::UploadRun *run);
    void pairFinished(skyloft::UploadRun *run, const skyloft::PairOutcome &outcome);
    void stalled(skyloft::UploadRun *run, const QString &service, const QString &fileName,
                 int seconds);
    // progress() or isRunning() may have changed.
    void progressChanged();
    // The run has ended (or was stopped); it is deleted afterwards.
    void runFinished(skyloft::UploadRun *run);

private:
    UploadRun *adopt(UploadRun *run, RunOrigin origin);

    RclonePaths m_paths;
    UploadRun::Engine m_engine = UploadRun::Engine::Processes;
    PairStepFactory m_steps;
    UploadRun::Order m_order = UploadRun::Order::OneServiceAtATime;
    int m_stepTransfers = 1;
    int m_transfers;
    QList<UploadRun *> m_runs;
    QString m_bandwidthLimit;
    QString m_linkExpiry;
};

} // namespace skyloft
