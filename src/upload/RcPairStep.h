// SPDX-License-Identifier: MIT
#pragma once

#include "core/RclonePaths.h"
#include "upload/PairStep.h"

#include <QPointer>

namespace skyloft {

class RcClient;
class UploadRun;
struct RcReply;

// "Subida rápida": one pair through the run's single `rclone rcd` instead of two processes. The
// copy is an asynchronous job whose progress comes from rclone's statistics; the link is asked
// for whatever the copy did, and the outcome, the log lines (the copy's result text is rclone's
// answer) and the detail of a failure follow the process-per-step engine. If the daemon cannot
// be started, the pair goes through that engine instead.
class RcPairStep : public PairStep
{
    Q_OBJECT
public:
    RcPairStep(RcClient *client, RclonePaths paths, QObject *parent = nullptr);

    void start(const CopyJob &job) override;
    void cancel() override;

    // Steps that share one daemon per run; it starts with the first pair and stops with the run.
    static PairStepFactory factory(const RclonePaths &paths);

private:
    void startCopy();
    void copyEnded(const RcReply &reply);
    void linkEnded(const RcReply &reply);
    void finish(PairState state, const QString &detail, const QString &link = QString());
    PairStep *fallback();

    QPointer<RcClient> m_client;
    RclonePaths m_paths;
    CopyJob m_job;
    PairOutcome m_outcome;
    qint64 m_ticket = 0;
    bool m_cancelled = false;
    bool m_copyFailed = false;
    QString m_copyDetail;
    PairStep *m_fallback = nullptr;
};

// Makes `run` use Subida rápida: its services side by side through one rclone rcd.
void useSubidaRapida(UploadRun &run, const RclonePaths &paths);

} // namespace skyloft
