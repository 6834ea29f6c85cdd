// SPDX-License-Identifier: MIT
#pragma once

#include "upload/CopyJob.h"
#include "upload/PairOutcome.h"

#include <QFileInfo>
#include <QObject>

#include <functional>

namespace skyloft {

// How a run carries out one (service, file) pair: copy, then ask for the link. The run decides
// which pair comes when and keeps the screen's state; a step only does the pair and says how it
// ended. RclonePairStep starts one rclone process per copy and per link; another engine drives
// the same pairs its own way by handing the run a different PairStepFactory.
class PairStep : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Begins the pair. progress() follows any number of times, then ended() exactly once, never
    // before this returns. One pair at a time per step.
    virtual void start(const CopyJob &job) = 0;
    // Stops the pair under way, copy or link; ended() follows with the state Cancelado.
    virtual void cancel() = 0;
    // Stops the pair under way at once and without a word (no ended() follows) and says how it
    // stood: cancelado during the copy; once the copy has ended, copia fallida or enlace fallido
    // by what the copy did.
    virtual PairOutcome abandon() = 0;

Q_SIGNALS:
    void progress(double fileFraction);
    // How much of the file has gone up (of `size` bytes) and how fast now, in bytes a second.
    void transferred(qint64 bytes, qint64 size, double speed);
    void ended(const skyloft::PairOutcome &outcome);
    // The engine behind the step is gone (the daemon died for good): the pair did not end and
    // is to be done again another way. Instead of ended().
    void engineLost();
};

// A pair about to start: which file to which service, its size; not yet how it ended.
inline PairOutcome outcomeFor(const CopyJob &job)
{
    PairOutcome outcome;
    outcome.service = job.service;
    outcome.remote = job.remoteName;
    outcome.fileName = job.nameOnRemote();
    outcome.localPath = job.filePath;
    const QFileInfo info(job.filePath);
    outcome.size = info.isFile() ? info.size() : -1;
    return outcome;
}

// How a pair stands when it is given up: cancelado during the copy; after it, what the copy said.
inline PairOutcome interruptedOutcome(PairOutcome outcome, bool copyEnded, bool copyFailed,
                                      const QString &copyDetail)
{
    if (!copyEnded) {
        outcome.state = PairState::Cancelado;
        outcome.detail.clear();
    } else if (copyFailed) {
        outcome.state = PairState::CopiaFallida;
        outcome.detail = copyDetail;
    } else {
        outcome.state = PairState::EnlaceFallido;
        outcome.detail = QStringLiteral("Interrumpido antes de obtener el enlace");
    }
    outcome.link.clear();
    return outcome;
}

// Makes the step of one service lane. Destroying a step stops its work quietly.
using PairStepFactory = std::function<PairStep *(QObject *parent)>;

} // namespace skyloft
