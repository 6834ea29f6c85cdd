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

Q_SIGNALS:
    void progress(double fileFraction);
    // Nothing heard from rclone for `seconds` (0: it speaks again).
    void stalled(int seconds);
    void ended(const skyloft::PairOutcome &outcome);
};

// A pair about to start: which file to which service, its size; not yet how it ended.
inline PairOutcome outcomeFor(const CopyJob &job)
{
    PairOutcome outcome;
    outcome.service = job.service;
    outcome.remote = job.remoteName;
    outcome.fileName = job.fileName;
    outcome.localPath = job.filePath;
    const QFileInfo info(job.filePath);
    outcome.size = info.isFile() ? info.size() : -1;
    return outcome;
}

// Makes the step of one service lane. Destroying a step stops its work quietly.
using PairStepFactory = std::function<PairStep *(QObject *parent)>;

} // namespace skyloft
