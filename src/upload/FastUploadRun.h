// SPDX-License-Identifier: MIT
#pragma once

#include "core/RclonePaths.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

namespace skyloft {

class RcClient;
class UploadState;
struct RcReply;

// "Subida rápida": one run driven through a single `rclone rcd` instead of a process per copy
// and per link. The services go side by side, each taking its files one at a time in queue
// order, with the same checks, log lines, progress and links as the process-per-step run; the
// copy's result text is rclone's answer. The daemon is stopped when the run ends and ends with
// this object.
class FastUploadRun : public QObject
{
    Q_OBJECT
public:
    FastUploadRun(UploadState *state, RclonePaths paths, QStringList services,
                  QObject *parent = nullptr);

    // Starts the daemon; `unavailable` or the services follow.
    void start();
    // Stops the service's copy in progress, if any (the caller marks it cancelled).
    void cancelService(const QString &displayName);

Q_SIGNALS:
    // The daemon could not be started; nothing was uploaded. `reason` is for the log.
    void unavailable(const QString &reason);
    // Every service is done ("✅ Todas las subidas completadas" has been printed).
    void servicesDone();

private:
    void uploadFile(const QString &service, int fileIndex);
    void finishCopy(const QString &service, int fileIndex, const QString &filePath,
                    const RcReply &reply);
    void serviceDone(const QString &service);

    UploadState *m_state;
    RcClient *m_client;
    QStringList m_services;
    QStringList m_servicesLeft;
    QHash<QString, qint64> m_copyTickets; // service -> its copy under way
    QSet<QString> m_interrupted;          // services whose copy the user stopped
};

} // namespace skyloft
