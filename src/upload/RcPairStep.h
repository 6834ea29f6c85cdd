// SPDX-License-Identifier: MIT
#pragma once

#include "core/RclonePaths.h"
#include "upload/PairStep.h"

#include <QPointer>

namespace skyloft {

class RcClient;
struct RcReply;

// "Subida rápida": one pair through the run's `rclone rcd` instead of two processes. The copy's
// progress comes from rclone's statistics; the link is asked for whatever the copy did, and the
// outcome, the log lines (the copy's result text is rclone's answer) and the detail of a failure
// follow the process-per-step engine.
class RcPairStep : public PairStep
{
    Q_OBJECT
public:
    RcPairStep(RcClient *client, RclonePaths paths, QObject *parent = nullptr);

    void start(const CopyJob &job) override;
    void cancel() override;
    PairOutcome abandon() override;

    // Steps that share the run's daemon.
    static PairStepFactory factory(RcClient *client, const RclonePaths &paths);

private:
    void startCopy();
    void copyEnded(const RcReply &reply);
    void linkEnded(const RcReply &reply);
    void finish(PairState state, const QString &detail, const QString &link = QString());

    QPointer<RcClient> m_client;
    RclonePaths m_paths;
    CopyJob m_job;
    PairOutcome m_outcome;
    qint64 m_ticket = 0;
    bool m_cancelled = false;
    bool m_copyEnded = false;
    bool m_copyFailed = false;
    QString m_copyDetail;
};

} // namespace skyloft
