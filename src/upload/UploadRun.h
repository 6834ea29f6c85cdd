// SPDX-License-Identifier: MIT
#pragma once

#include "core/RclonePaths.h"
#include "upload/PairOutcome.h"
#include "upload/PairStep.h"
#include "upload/ServiceTransfer.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QStringList>

#include <functional>

namespace skyloft {

class RcClient;
class StallWatcher;
class UploadState;

// Who asked for a run: the shell decides from it where the run's pairs go.
enum class RunOrigin
{
    UploadButton,
    CommandLine,
    LinksRetry,
    HistoryRetry
};

// One press of the upload button (or one `skyloft upload`, or one "Reintentar"): every queued
// file to every service, copy then link for each (file, service) pair. It reads the queue and the
// authorizations afresh at every file, writes the progress into the state, and announces every
// pair the moment it ends (per service in queue order) and then its own end. It owns its rclone
// children: destroying it stops them quietly, and nothing of it runs afterwards. GUI thread only;
// nothing here blocks. Runs are made by UploadRuns, which chooses their engine.
class UploadRun : public QObject
{
    Q_OBJECT
public:
    enum class Engine
    {
        // One rclone process per copy and per link, services one after another, one pair at a
        // time: the described engine, word for word.
        Processes,
        // "Subida rápida": one rclone rcd for the run, services side by side, several pairs in
        // flight per service. Falls back to Processes when the daemon cannot serve.
        Daemon
    };
    enum class Order
    {
        OneServiceAtATime,
        ServicesSideBySide
    };
    enum class StopReason
    {
        // "Cancelar todo": every unfinished pair is cancelado.
        CancelAll,
        // SIGINT, SIGTERM, SIGHUP: a pair whose copy ended keeps what the copy said (enlace
        // fallido when it worked), every other unfinished pair is cancelado.
        Signal
    };

    // A run over the upload screen's state, services in the order given (state may outlive it).
    UploadRun(UploadState *state, QStringList services, RclonePaths paths,
              QObject *parent = nullptr);
    // A run over fixed pairs ("Reintentar"): each goes again to its service under the name it
    // had there; no screen state, no checks.
    UploadRun(const QList<PairOutcome> &pairs, RclonePaths paths, QObject *parent = nullptr);
    ~UploadRun() override;

    // The upload button: when a selected service's remote is not authorized, raises the state's
    // authorization alert and gives no run. Otherwise the screen shows the run going on and the
    // run comes back not started.
    static UploadRun *fromUploadButton(UploadState *state, const RclonePaths &paths,
                                       QObject *parent = nullptr);

    // Before start().
    void setEngine(Engine engine) { m_engine = engine; }
    // Pairs in flight per service with the daemon (the process engine always has one).
    void setTransfers(int transfers) { m_transfers = std::max(1, transfers); }
    void setOrigin(RunOrigin origin) { m_origin = origin; }
    // How long a link lasts ("7d"; empty: as the service likes), before start().
    void setLinkExpiry(const QString &expiry) { m_linkExpiry = expiry; }
    // rclone's rate ("5M"; empty: none), at any time: the daemon takes it at once, the process
    // engine from its next copy.
    void setBandwidthLimit(const QString &rate);
    // Another engine: its steps, in this order, with up to `transfers` pairs per service.
    void setSteps(PairStepFactory factory, Order order, int transfers = 1);

    // The engine the run uses: after a fallback, Processes.
    Engine engine() const { return m_engine; }
    RunOrigin origin() const { return m_origin; }
    // The upload screen's state it works on; none for a retry.
    UploadState *state() const { return m_state; }

    void start();

    // The service's pairs under way are stopped and its remaining files are passed over, until
    // the run ends.
    void cancelService(const QString &displayName);
    // Ends the run now: every child and daemon job goes at once, every pair not yet announced is
    // announced (see StopReason), and finished() follows before this returns. A state's queue
    // keeps the files that had a pair unfinished; its selection stays.
    void stop(StopReason reason);

    // Every pair announced so far, in the order announced.
    const QList<PairOutcome> &outcomes() const { return m_outcomes; }
    bool isFinished() const { return m_finished; }
    // How far the run is, 0 to 1: the mean of its services, each by its bytes (its files when
    // the sizes are unknown), one not reached yet counting 0 and one ended or cancelled 1.
    double progress() const;
    qsizetype serviceCount() const { return m_lanes.size(); }
    bool wasStopped() const { return m_stopped; }

Q_SIGNALS:
    void pairFinished(const skyloft::PairOutcome &outcome);
    // Nothing has moved for `seconds` on this service, `fileName` being the first file under way
    // (0: it moves again).
    void stalled(const QString &service, const QString &fileName, int seconds);
    // progress() may have changed.
    void progressChanged();
    // Emitted once, after the state's end-of-run reset.
    void finished();

private:
    struct Lane
    {
        QString service;
        QString remote;
        QList<PairOutcome> fixed; // a retry's pairs; empty when the state's queue is read
        bool started = false;
        bool closed = false; // takes no more files
        bool done = false;
        int nextIndex = 0;   // the next file to take
        int nextRelease = 0; // the next pair to announce
        int ended = 0;       // pairs ended, announced or held back
        QMap<int, PairOutcome> held;
        QHash<PairStep *, CopyJob> busy;
        QHash<PairStep *, double> fractions;
        QList<PairStep *> idle;
        QHash<QString, QString> names; // name on the remote -> the local file put there
        QSet<int> endedBeforeStop;
        std::function<void()> onDone;
        // Bytes: of the pairs ended, of all the queue (summed over `summed` files), and of the
        // pairs under way with their speed.
        qint64 bytesEnded = 0;
        qint64 bytesTotal = 0;
        qsizetype summed = -1;
        QHash<PairStep *, QPair<qint64, double>> moving;
        StallWatcher *watcher = nullptr;
        ServiceTransfer transfer; // as last reported
    };

    void begin();
    void fallBackToProcesses(const QString &why);
    void uploadServices(int index);
    void startLane(Lane &lane, std::function<void()> onDone);
    void fill(Lane &lane);
    bool takeNext(Lane &lane);
    void stepEnded(Lane &lane, PairStep *step, const PairOutcome &outcome);
    void stepProgress(Lane &lane, PairStep *step, double fraction);
    void engineLost(Lane &lane, PairStep *step);
    void stepTransferred(Lane &lane, PairStep *step, qint64 bytes, double speed);
    // The service's files and bytes to the state, and its progress to its stall watcher.
    void report(Lane &lane);
    void laneStalled(Lane &lane, int seconds);
    qint64 sizeOf(const QString &path);
    void hold(Lane &lane, int index, const PairOutcome &outcome);
    void release(Lane &lane);
    void closeLane(Lane &lane);
    // Pairs that never start (the service was cancelled or lost its authorization).
    void passOver(Lane &lane, PairState state, const QString &detail);
    void finishRun();
    QStringList files(const Lane &lane) const;
    QString chooseRemoteName(Lane &lane, int index, const QString &filePath);
    PairStep *makeStep(Lane &lane);
    enum class Deletion
    {
        Now,
        Later
    };
    void dropSteps(Lane &lane, Deletion deletion);
    Lane *laneOf(const QString &service);
    void post(std::function<void()> work);

    UploadState *m_state;
    QStringList m_services;
    RclonePaths m_paths;
    Engine m_engine = Engine::Processes;
    RunOrigin m_origin = RunOrigin::UploadButton;
    PairStepFactory m_makeStep;
    Order m_order = Order::OneServiceAtATime;
    int m_transfers = 1;
    int m_laneTransfers = 1;
    bool m_customSteps = false;
    RcClient *m_client = nullptr;
    QString m_bandwidthLimit;
    QString m_linkExpiry;
    int m_stallSeconds;
    QHash<QString, qint64> m_sizes;
    QList<Lane> m_lanes;
    QSet<QString> m_cancelled;
    QList<PairOutcome> m_outcomes;
    qsizetype m_lanesLeft = 0;
    bool m_finished = false;
    bool m_stopped = false;
};

} // namespace skyloft
