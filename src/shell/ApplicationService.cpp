// SPDX-License-Identifier: MIT
#include "shell/ApplicationService.h"

#include "core/Log.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>

#include <cstdio>

namespace skyloft {

namespace {

const QString kInterface = QStringLiteral("org.freedesktop.Application");
const QString kUploadAction = QStringLiteral("subir");
constexpr int kHandOffTimeoutMs = 10000;

// What lets the running window come forward on the user's behalf: the launcher's activation token
// (Wayland) and startup id (X11).
QVariantMap platformDataOfThisLaunch()
{
    QVariantMap data;
    const QByteArray token = qgetenv("XDG_ACTIVATION_TOKEN");
    if (!token.isEmpty())
        data.insert(QStringLiteral("activation-token"), QString::fromUtf8(token));
    const QByteArray startupId = qgetenv("DESKTOP_STARTUP_ID");
    if (!startupId.isEmpty())
        data.insert(QStringLiteral("desktop-startup-id"), QString::fromUtf8(startupId));
    return data;
}

QList<QUrl> urlsOf(const QStringList &uris)
{
    QList<QUrl> urls;
    for (const QString &uri : uris)
        urls << QUrl(uri);
    return urls;
}

} // namespace

const QString ApplicationService::kName = QStringLiteral("app.skyloft.Skyloft");
const QString ApplicationService::kPath = QStringLiteral("/app/skyloft/Skyloft");

ApplicationService::ApplicationService(QDBusConnection bus, QObject *parent)
    : QObject(parent), m_bus(std::move(bus))
{}

ApplicationService::~ApplicationService()
{
    if (m_owner) {
        m_bus.unregisterService(kName);
        m_bus.unregisterObject(kPath);
    }
}

ApplicationService::Claim ApplicationService::claim()
{
    if (!m_bus.isConnected() || !m_bus.interface())
        return Claim::NoBus;
    // The object first, so that a call queued by the bus while the name is taken finds it.
    if (!m_bus.objectRegisteredAt(kPath) &&
        !m_bus.registerObject(kPath, this, QDBusConnection::ExportScriptableSlots))
        return Claim::NoBus;
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        m_bus.interface()->registerService(kName, QDBusConnectionInterface::DontQueueService,
                                           QDBusConnectionInterface::DontAllowReplacement);
    if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered) {
        m_owner = true;
        return Claim::Owner;
    }
    m_bus.unregisterObject(kPath);
    return reply.isValid() ? Claim::Taken : Claim::NoBus;
}

bool ApplicationService::handOff(QDBusConnection bus, const QStringList &paths, QString *error)
{
    QStringList uris;
    for (const QString &path : paths) {
        // An empty path would name the current folder.
        if (path.isEmpty()) {
            writeText(stderr, QStringLiteral("No se puede subir \"\": la ruta está vacía.\n"));
            continue;
        }
        uris << QUrl::fromLocalFile(QDir::cleanPath(QDir::current().absoluteFilePath(path)))
                    .toString(QUrl::FullyEncoded);
    }
    QDBusMessage call = QDBusMessage::createMethodCall(kName, kPath, kInterface,
                                                       uris.isEmpty() ? QStringLiteral("Activate")
                                                                      : QStringLiteral("Open"));
    if (!uris.isEmpty())
        call << uris;
    call << platformDataOfThisLaunch();
    const QDBusMessage answer = bus.call(call, QDBus::Block, kHandOffTimeoutMs);
    if (answer.type() == QDBusMessage::ReplyMessage)
        return true;
    if (error)
        *error = QStringLiteral("Skyloft ya está abierto, pero no contesta (%1); se abre otra "
                                "ventana.")
                     .arg(answer.errorMessage());
    return false;
}

void ApplicationService::Activate(const QVariantMap &platformData)
{
    bringForward(platformData, {});
}

void ApplicationService::Open(const QStringList &uris, const QVariantMap &platformData)
{
    bringForward(platformData, urlsOf(uris));
}

void ApplicationService::ActivateAction(const QString &actionName, const QVariantList &parameter,
                                        const QVariantMap &platformData)
{
    if (actionName != kUploadAction)
        return;
    // The action's parameter, when a launcher gives one, holds the files as URIs.
    QStringList uris;
    for (const QVariant &value : parameter)
        uris << value.toStringList();
    bringForward(platformData, urlsOf(uris));
}

void ApplicationService::bringForward(const QVariantMap &platformData, const QList<QUrl> &urls)
{
    // Qt's Wayland platform reads the token when the window asks to be activated.
    const QString token = platformData.value(QStringLiteral("activation-token")).toString();
    if (!token.isEmpty())
        qputenv("XDG_ACTIVATION_TOKEN", token.toUtf8());
    Q_EMIT openRequested(urls);
}

} // namespace skyloft
