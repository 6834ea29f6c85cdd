// SPDX-License-Identifier: MIT
#include "upload/UploadRun.h"

#include "core/Log.h"
#include "core/ServiceCatalog.h"
#include "upload/RclonePairStep.h"
#include "upload/UploadState.h"

#include <algorithm>

namespace skyloft {

UploadRun::UploadRun(UploadState *state, QStringList services, RclonePaths paths, QObject *parent)
    : QObject(parent), m_state(state), m_services(std::move(services)), m_paths(std::move(paths)),
      m_makeStep(RclonePairStep::factory(m_paths))
{}

UploadRun::~UploadRun()
{
    // The steps stop their processes without a word; nothing reaches the state afterwards.
    for (PairStep *step : std::as_const(m_steps)) {
        QObject::disconnect(step, nullptr, this, nullptr);
        delete step;
    }
}

UploadRun *UploadRun::fromUploadButton(UploadState *state, const RclonePaths &paths,
                                       QObject *parent)
{
    const QSet<QString> &selected = state->serviciosSeleccionados();
    const QSet<QString> &authorized = state->authorizedServices();
    // Every selected name counts here, also one that is not offered and would not be uploaded to.
    if (std::any_of(selected.cbegin(), selected.cend(), [&](const QString &name) {
            return !authorized.contains(remoteNameFor(name));
        })) {
        state->setShowAuthorizationAlert(true);
        return nullptr;
    }
    state->setIsUploading(true);
    QStringList services;
    for (const QString &name : state->serviciosOrden()) {
        if (selected.contains(name))
            services << name;
    }
    return new UploadRun(state, services, paths, parent);
}

UploadRun *UploadRun::retry(const QString &service, const QString &localPath,
                            const RclonePaths &paths, QObject *parent)
{
    auto *run = new UploadRun(nullptr, {service}, paths, parent);
    run->m_fixedFiles = {localPath};
    return run;
}

void UploadRun::post(std::function<void()> work)
{
    QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
}

QStringList UploadRun::files() const
{
    return m_state ? m_state->archivosSeleccionados() : m_fixedFiles;
}

void UploadRun::start()
{
    if (m_order == Order::OneServiceAtATime || m_services.isEmpty()) {
        uploadServices(0);
        return;
    }
    m_lanesLeft = m_services.size();
    for (const QString &service : std::as_const(m_services)) {
        startService(service, [this] {
            if (--m_lanesLeft == 0)
                uploadServices(int(m_services.size()));
        });
    }
}

void UploadRun::uploadServices(int index)
{
    if (index >= m_services.size()) {
        logLine(QStringLiteral("✅ Todas las subidas completadas"));
        post([this] { finishRun(); });
        return;
    }
    startService(m_services.at(index), [this, index] { uploadServices(index + 1); });
}

void UploadRun::startService(const QString &service, std::function<void()> onServiceDone)
{
    if (m_cancelled.contains(service)) {
        logLine(QStringLiteral("Servicio ") + service + QStringLiteral(" cancelado, saltando..."));
        passOver(service, 0, PairState::Cancelado, QString());
        onServiceDone();
        return;
    }
    logLine(QStringLiteral("Iniciando subida para ") + service);
    if (m_state)
        post([state = m_state, service] { state->resetServiceProgress(service); });
    uploadFile(service, 0, std::move(onServiceDone));
}

void UploadRun::uploadFile(const QString &service, int fileIndex,
                           std::function<void()> onServiceDone)
{
    const QStringList queued = files();
    if (fileIndex >= queued.size()) {
        onServiceDone();
        return;
    }
    if (m_cancelled.contains(service)) {
        logLine(QStringLiteral("Servicio ") + service +
                QStringLiteral(" cancelado durante subida; saliendo."));
        passOver(service, fileIndex, PairState::Cancelado, QString());
        onServiceDone();
        return;
    }
    const QString remoteName = remoteNameFor(service);
    if (m_state && !m_state->authorizedServices().contains(remoteName)) {
        logLine(QStringLiteral("❌ Servicio ") + service +
                QStringLiteral(" no autorizado. Saltando."));
        passOver(service, fileIndex, PairState::CopiaFallida,
                 QStringLiteral("Servicio no autorizado"));
        onServiceDone();
        return;
    }

    const QString filePath = queued.at(fileIndex);
    const CopyJob job{service, remoteName, fileIndex, filePath, lastPathComponent(filePath)};
    if (m_state) {
        post([state = m_state, service, fileName = job.fileName] {
            state->setProgressFileName(service, fileName);
        });
    }
    m_current.insert(service, job);
    PairStep *step = stepFor(service);
    // One pair at a time per step: the connection is made for this pair and dropped at its end.
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(step, &PairStep::ended, this,
                          [this, connection, fileIndex, onServiceDone](const PairOutcome &outcome) {
                              QObject::disconnect(*connection);
                              pairEnded(outcome, fileIndex, onServiceDone);
                          });
    step->start(job);
}

PairStep *UploadRun::stepFor(const QString &service)
{
    if (PairStep *step = m_steps.value(service))
        return step;
    PairStep *step = m_makeStep(this);
    m_steps.insert(service, step);
    connect(step, &PairStep::progress, this, [this, service](double fraction) {
        if (m_state)
            m_state->reportCopyProgress(service, m_current.value(service).fileIndex, fraction);
    });
    connect(step, &PairStep::stalled, this, [this, service](int seconds) {
        if (m_state)
            m_state->setStalledSeconds(service, seconds);
        Q_EMIT stalled(service, m_current.value(service).fileName, seconds);
    });
    return step;
}

void UploadRun::pairEnded(const PairOutcome &outcome, int fileIndex, std::function<void()> next)
{
    m_outcomes << outcome;
    Q_EMIT pairFinished(outcome);
    uploadFile(outcome.service, fileIndex + 1, std::move(next));
}

void UploadRun::passOver(const QString &service, int fromIndex, PairState state,
                         const QString &detail)
{
    const QStringList queued = files();
    for (qsizetype i = fromIndex; i < queued.size(); ++i) {
        PairOutcome outcome;
        outcome.service = service;
        outcome.remote = remoteNameFor(service);
        outcome.localPath = queued.at(i);
        outcome.fileName = lastPathComponent(outcome.localPath);
        outcome.state = state;
        outcome.detail = detail;
        m_outcomes << outcome;
        Q_EMIT pairFinished(outcome);
    }
}

void UploadRun::cancelService(const QString &displayName)
{
    if (m_finished)
        return;
    m_cancelled.insert(displayName);
    if (m_state)
        m_state->insertCanceledService(displayName);
    if (PairStep *step = m_steps.value(displayName))
        step->cancel();
}

void UploadRun::finishRun()
{
    m_finished = true;
    if (m_state)
        m_state->resetAfterRun();
    Q_EMIT finished();
}

} // namespace skyloft
