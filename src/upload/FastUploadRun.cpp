// SPDX-License-Identifier: MIT
#include "upload/FastUploadRun.h"

#include "core/Log.h"
#include "core/ServiceCatalog.h"
#include "upload/CopyJob.h"
#include "upload/GeneratedLinks.h"
#include "upload/RcAnswers.h"
#include "upload/RcClient.h"
#include "upload/ShareLink.h"
#include "upload/UploadState.h"

#include <QPointer>

namespace skyloft {

FastUploadRun::FastUploadRun(UploadState *state, RclonePaths paths, QStringList services,
                             QObject *parent)
    : QObject(parent), m_state(state), m_client(new RcClient(std::move(paths), this)),
      m_services(std::move(services))
{}

void FastUploadRun::start()
{
    m_client->start([this](const QString &error) {
        if (!error.isEmpty()) {
            Q_EMIT unavailable(error);
            return;
        }
        m_servicesLeft = m_services;
        if (m_services.isEmpty()) {
            serviceDone(QString());
            return;
        }
        for (const QString &service : std::as_const(m_services)) {
            if (m_state->canceledServices().contains(service)) {
                logLine(QStringLiteral("Servicio ") + service +
                        QStringLiteral(" cancelado, saltando..."));
                serviceDone(service);
                continue;
            }
            logLine(QStringLiteral("Iniciando subida para ") + service);
            QMetaObject::invokeMethod(
                this, [this, service] { m_state->resetServiceProgress(service); },
                Qt::QueuedConnection);
            uploadFile(service, 0);
        }
    });
}

void FastUploadRun::uploadFile(const QString &service, int fileIndex)
{
    const QStringList &files = m_state->archivosSeleccionados();
    if (fileIndex >= files.size()) {
        serviceDone(service);
        return;
    }
    if (m_state->canceledServices().contains(service)) {
        logLine(QStringLiteral("Servicio ") + service +
                QStringLiteral(" cancelado durante subida; saliendo."));
        serviceDone(service);
        return;
    }
    const QString remoteName = remoteNameFor(service);
    if (!m_state->authorizedServices().contains(remoteName)) {
        logLine(QStringLiteral("❌ Servicio ") + service +
                QStringLiteral(" no autorizado. Saltando."));
        serviceDone(service);
        return;
    }
    const QString filePath = files.at(fileIndex);
    QMetaObject::invokeMethod(
        this,
        [this, service, fileName = lastPathComponent(filePath)] {
            m_state->setProgressFileName(service, fileName);
        },
        Qt::QueuedConnection);
    const qint64 ticket = m_client->copyFile(
        filePath, remoteName,
        [this, service, fileIndex](double fraction) {
            m_state->reportCopyProgress(service, fileIndex, fraction);
        },
        [this, service, fileIndex, filePath](const RcReply &reply) {
            finishCopy(service, fileIndex, filePath, reply);
        });
    m_copyTickets.insert(service, ticket);
}

void FastUploadRun::finishCopy(const QString &service, int fileIndex, const QString &filePath,
                               const RcReply &reply)
{
    logLine(QStringLiteral("Resultado de 'copy' para ") + service + QStringLiteral(" en archivo ") +
            filePath + QStringLiteral(": ") + reply.text());
    const QString remoteName = remoteNameFor(service);
    const QString fileName = lastPathComponent(filePath);
    const bool copied = reply.ok;
    m_client->publicLink(
        remoteName, fileName,
        [this, service, fileIndex, remoteName, fileName, copied](const RcReply &answer) {
            const std::optional<QString> link =
                answer.ok ? rcPublicLink(answer.answer) : std::nullopt;
            // After a failed copy a link would name an older object.
            if (link && copied) {
                QPointer<GeneratedLinks> links(m_state->generatedLinks());
                QMetaObject::invokeMethod(
                    this,
                    [links, remoteName, fileName, text = *link] {
                        if (links)
                            recordLink(*links, remoteName, fileName, text);
                    },
                    Qt::QueuedConnection);
                logLine(QStringLiteral("Enlace generado para ") + fileName +
                        QStringLiteral(" en ") + service + QStringLiteral(": ") + *link);
            } else {
                logLine(QStringLiteral("❌ No se pudo obtener el enlace para ") + fileName +
                        QStringLiteral(" en ") + service);
            }
            uploadFile(service, fileIndex + 1);
        });
}

void FastUploadRun::serviceDone(const QString &service)
{
    m_servicesLeft.removeOne(service);
    if (!m_servicesLeft.isEmpty())
        return;
    logLine(QStringLiteral("✅ Todas las subidas completadas"));
    m_client->stop();
    Q_EMIT servicesDone();
}

void FastUploadRun::cancelService(const QString &displayName)
{
    const auto ticket = m_copyTickets.constFind(displayName);
    if (ticket == m_copyTickets.cend())
        return;
    m_interrupted.insert(displayName);
    m_client->cancelCopy(*ticket);
}

} // namespace skyloft
