// SPDX-License-Identifier: MIT
#include "upload/UploadEngine.h"

#include "core/Log.h"
#include "core/RcloneRunner.h"
#include "core/ServiceCatalog.h"
#include "upload/CopyProgress.h"
#include "upload/FastUploadRun.h"
#include "upload/ShareLink.h"
#include "upload/StreamingRclone.h"
#include "upload/UploadState.h"

#include <QProcess>

#include <algorithm>

namespace skyloft {

UploadEngine::UploadEngine(UploadState *state, RclonePaths paths, QObject *parent)
    : QObject(parent), m_state(state), m_paths(std::move(paths))
{}

void UploadEngine::post(std::function<void()> step)
{
    QMetaObject::invokeMethod(this, std::move(step), Qt::QueuedConnection);
}

void UploadEngine::startUpload()
{
    const QSet<QString> &selected = m_state->serviciosSeleccionados();
    const QSet<QString> &authorized = m_state->authorizedServices();
    // Every selected name counts here, also one that is not offered and would not be uploaded to.
    if (std::any_of(selected.cbegin(), selected.cend(), [&](const QString &name) {
            return !authorized.contains(remoteNameFor(name));
        })) {
        m_state->setShowAuthorizationAlert(true);
        return;
    }
    m_state->setIsUploading(true);
    QStringList services;
    for (const QString &name : m_state->serviciosOrden()) {
        if (selected.contains(name))
            services << name;
    }
    if (m_subidaRapida)
        startFastRun(services);
    else
        uploadServices(services, 0);
}

void UploadEngine::startFastRun(const QStringList &services)
{
    auto *run = new FastUploadRun(m_state, m_paths, services, this);
    connect(run, &FastUploadRun::unavailable, this, [this, run, services](const QString &reason) {
        run->deleteLater();
        // Nothing was uploaded yet: the run goes on the usual way rather than lose the files.
        logLine(QStringLiteral("⚠️ Subida rápida no disponible (") + reason +
                QStringLiteral("); se sube con un proceso por archivo."));
        uploadServices(services, 0);
    });
    connect(run, &FastUploadRun::servicesDone, this, [this, run] {
        run->deleteLater();
        post([this] { finishUploadRun(); });
    });
    run->start();
}

void UploadEngine::uploadServices(const QStringList &services, int index)
{
    if (index >= services.size()) {
        logLine(QStringLiteral("✅ Todas las subidas completadas"));
        post([this] { finishUploadRun(); });
        return;
    }
    const QString service = services.at(index);
    if (m_state->canceledServices().contains(service)) {
        logLine(QStringLiteral("Servicio ") + service + QStringLiteral(" cancelado, saltando..."));
        uploadServices(services, index + 1);
        return;
    }
    logLine(QStringLiteral("Iniciando subida para ") + service);
    post([this, service] { m_state->resetServiceProgress(service); });
    uploadFile(service, 0, [this, services, index] { uploadServices(services, index + 1); });
}

void UploadEngine::uploadFile(const QString &service, int fileIndex,
                              std::function<void()> onServiceDone)
{
    // The queue and the authorizations are read afresh for every file: the screen may change
    // them while a run goes on.
    const QStringList &files = m_state->archivosSeleccionados();
    if (fileIndex >= files.size()) {
        onServiceDone();
        return;
    }
    if (m_state->canceledServices().contains(service)) {
        logLine(QStringLiteral("Servicio ") + service +
                QStringLiteral(" cancelado durante subida; saliendo."));
        onServiceDone();
        return;
    }
    const QString remoteName = remoteNameFor(service);
    if (!m_state->authorizedServices().contains(remoteName)) {
        logLine(QStringLiteral("❌ Servicio ") + service +
                QStringLiteral(" no autorizado. Saltando."));
        onServiceDone();
        return;
    }

    const QString filePath = files.at(fileIndex);
    const CopyJob job{service,
                      remoteName,
                      fileIndex,
                      filePath,
                      lastPathComponent(filePath),
                      std::move(onServiceDone)};
    post([this, service, fileName = job.fileName] {
        m_state->setProgressFileName(service, fileName);
    });

    auto running = std::make_shared<RunningCopy>();
    running->service = service;
    running->process = runStreamingRclone(
        this, m_paths, copyArguments(m_paths, filePath, remoteName), makeRcloneEnvironment(m_paths),
        [this, service, fileIndex](double fraction) {
            m_state->reportCopyProgress(service, fileIndex, fraction);
        },
        [this, job, running](const QString &output) {
            m_runningCopies.removeOne(running);
            finishCopy(job, output, running->interrupted);
        });
    if (running->process)
        m_runningCopies.append(running);
}

void UploadEngine::finishCopy(const CopyJob &job, const QString &output, bool interrupted)
{
    logLine(QStringLiteral("Resultado de 'copy' para ") + job.service +
            QStringLiteral(" en archivo ") + job.filePath + QStringLiteral(": ") + output);
    const auto nextFile = [this, job] {
        uploadFile(job.service, job.fileIndex + 1, job.onServiceDone);
    };
    // A copy stopped by the user left no complete file to link to.
    if (interrupted) {
        nextFile();
        return;
    }
    publishShareLink(this, m_paths, job, m_state->generatedLinks(), nextFile);
}

void UploadEngine::finishUploadRun()
{
    m_state->resetAfterRun();
    Q_EMIT runFinished();
}

void UploadEngine::cancelService(const QString &displayName)
{
    m_state->insertCanceledService(displayName);
    for (FastUploadRun *run : findChildren<FastUploadRun *>(Qt::FindDirectChildrenOnly))
        run->cancelService(displayName);
    for (const std::shared_ptr<RunningCopy> &running : std::as_const(m_runningCopies)) {
        if (running->service != displayName || !running->process)
            continue;
        running->interrupted = true;
        running->process->terminate();
    }
}

} // namespace skyloft
