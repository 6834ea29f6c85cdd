// SPDX-License-Identifier: MIT
#pragma once

#include "core/RclonePaths.h"
#include "upload/PairOutcome.h"
#include "upload/PairStep.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QStringList>

#include <functional>

namespace skyloft {

class UploadState;

// One press of the upload button (or one `skyloft upload`, or one "Reintentar"): every queued
// file to every service, services one after another and each service's files one after another,
// copy then link for each (file, service) pair. It reads the queue and the authorizations afresh
// at every file, writes the progress into the state, and announces every pair the moment it ends
// and then its own end. It owns its rclone processes: destroying it stops them quietly, and
// nothing of it runs afterwards. GUI thread only; nothing here blocks.
//
// Seam for other engines: the pairs are carried out by PairSteps from a PairStepFactory (one step
// per service lane); Order::ServicesSideBySide runs the services' lanes at the same time.
class UploadRun : public QObject
{
    Q_OBJECT
public:
    enum class Order
    {
        OneServiceAtATime,
        ServicesSideBySide
    };

    // A run over the upload screen's state, services in the order given (state may outlive it).
    UploadRun(UploadState *state, QStringList services, RclonePaths paths,
              QObject *parent = nullptr);
    ~UploadRun() override;

    // The upload button: when a selected service's remote is not authorized, raises the state's
    // authorization alert and gives no run. Otherwise the screen shows the run going on and the
    // run comes back not started, so the caller can listen before calling start().
    static UploadRun *fromUploadButton(UploadState *state, const RclonePaths &paths,
                                       QObject *parent = nullptr);
    // Copy and link again for one (service, file) pair, with no screen state and no checks:
    // "Reintentar". Not started either.
    static UploadRun *retry(const QString &service, const QString &localPath,
                            const RclonePaths &paths, QObject *parent = nullptr);

    // Before start().
    void setStepFactory(PairStepFactory factory) { m_makeStep = std::move(factory); }
    void setOrder(Order order) { m_order = order; }

    void start();

    // The service's pair under way (copy or link) is stopped and its remaining files are passed
    // over, until the run ends, whatever "Cancelar todo" does meanwhile.
    void cancelService(const QString &displayName);

    // Every pair that has ended, in the order they ended.
    const QList<PairOutcome> &outcomes() const { return m_outcomes; }
    bool isFinished() const { return m_finished; }

Q_SIGNALS:
    void pairFinished(const skyloft::PairOutcome &outcome);
    // rclone has said nothing for `seconds` on this service's pair (0: it speaks again).
    void stalled(const QString &service, const QString &fileName, int seconds);
    // Emitted once, after the state's end-of-run reset.
    void finished();

private:
    void uploadServices(int index);
    void startService(const QString &service, std::function<void()> onServiceDone);
    void uploadFile(const QString &service, int fileIndex, std::function<void()> onServiceDone);
    void pairEnded(const PairOutcome &outcome, int fileIndex, std::function<void()> next);
    // Pairs that never start (the service was cancelled or lost its authorization).
    void passOver(const QString &service, int fromIndex, PairState state, const QString &detail);
    void finishRun();
    QStringList files() const;
    PairStep *stepFor(const QString &service);
    void post(std::function<void()> work);

    UploadState *m_state;
    QStringList m_services;
    RclonePaths m_paths;
    QStringList m_fixedFiles; // the retry's file, when there is no state
    PairStepFactory m_makeStep;
    Order m_order = Order::OneServiceAtATime;
    QHash<QString, PairStep *> m_steps;
    QHash<QString, CopyJob> m_current; // each service's pair under way
    QSet<QString> m_cancelled;
    QList<PairOutcome> m_outcomes;
    qsizetype m_lanesLeft = 0;
    bool m_finished = false;
};

} // namespace skyloft
