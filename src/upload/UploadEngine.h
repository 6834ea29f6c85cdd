// SPDX-License-Identifier: MIT
#pragma once

#include "core/RclonePaths.h"
#include "upload/CopyJob.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QProcess;

namespace skyloft {

class UploadState;

// The upload run: copies every queued file to every selected service, one service after another
// and one file after another, asks for each copied file's share link, and resets the screen at
// the end. It keeps no run of its own: each step reads the state afresh and ends by calling the
// next one, so a second run started after cancelAll goes on side by side with the first. Within
// a run exactly one rclone process (copy or link) is alive at a time. GUI thread only; nothing
// here blocks.
class UploadEngine : public QObject
{
    Q_OBJECT
public:
    UploadEngine(UploadState *state, RclonePaths paths, QObject *parent = nullptr);

    // The upload button. Refused (the authorization alert is raised, nothing runs) when any
    // selected service's remote is not authorized; otherwise the run starts.
    void startUpload();

    // Marks the service cancelled and stops its copy in progress; no link is asked for the
    // interrupted file and the run goes on with the next service. A service not reached yet is
    // passed over when its turn comes. A link request already under way is left to end.
    void cancelService(const QString &displayName);

    // "Subida rápida": runs started from now on go through one rclone rcd, services side by side.
    void setSubidaRapida(bool on) { m_subidaRapida = on; }
    bool subidaRapida() const { return m_subidaRapida; }

Q_SIGNALS:
    // A run has reset the screen (emitted once per run).
    void runFinished();

private:
    struct RunningCopy
    {
        QString service;
        QPointer<QProcess> process;
        bool interrupted = false;
    };

    void startFastRun(const QStringList &services);
    void uploadServices(const QStringList &services, int index);
    void uploadFile(const QString &service, int fileIndex, std::function<void()> onServiceDone);
    void finishCopy(const CopyJob &job, const QString &output, bool interrupted);
    void finishUploadRun();
    // Runs `step` on the GUI thread's queue, after the current work.
    void post(std::function<void()> step);

    UploadState *m_state;
    RclonePaths m_paths;
    QList<std::shared_ptr<RunningCopy>> m_runningCopies;
    bool m_subidaRapida = false;
};

} // namespace skyloft
