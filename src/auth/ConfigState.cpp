// SPDX-License-Identifier: MIT
#include "auth/ConfigState.h"

#include "auth/Authorization.h"
#include "core/RcloneBackends.h"
#include "core/RcloneConfigFile.h"
#include "core/ServiceCatalog.h"
#include "core/Settings.h"

#include <QTimer>

namespace skyloft {

namespace {

// Assigns and signals only on a real change.
template <typename Signal>
void assign(ConfigState *state, QString &field, const QString &value, Signal changed)
{
    if (field == value)
        return;
    field = value;
    Q_EMIT(state->*changed)(value);
}

} // namespace

QString failureText(const QString &serviceName, const QString &reason)
{
    return QStringLiteral("No se pudo autorizar ") + serviceName + QStringLiteral(": ") + reason;
}

ConfigState::ConfigState(AuthorizationSetup setup, QObject *parent)
    : QObject(parent), m_setup(std::move(setup))
{}

QStringList ConfigState::services() const
{
    return ServiceCatalog::services();
}

void ConfigState::setSelectedService(const QString &displayName)
{
    assign(this, m_selectedService, displayName, &ConfigState::selectedServiceChanged);
}

void ConfigState::addAuthorizedService(const QString &entry)
{
    if (m_authorizedServices.contains(entry))
        return;
    m_authorizedServices.insert(entry);
    Q_EMIT authorizedServicesChanged();
}

void ConfigState::setAuthorizedServices(const QSet<QString> &entries)
{
    if (m_authorizedServices == entries)
        return;
    m_authorizedServices = entries;
    Q_EMIT authorizedServicesChanged();
}

void ConfigState::setMensaje(const QString &text)
{
    if (text == m_mensaje)
        return;
    assign(this, m_mensaje, text, &ConfigState::mensajeChanged);
    if (!text.startsWith(QStringLiteral("✅")))
        return;
    setShowToast(true);
    QTimer::singleShot(kToastMs, Qt::PreciseTimer, this, [this] { setShowToast(false); });
}

void ConfigState::setShowToast(bool shown)
{
    if (shown == m_showToast)
        return;
    m_showToast = shown;
    Q_EMIT showToastChanged(shown);
}

QStringList ConfigState::credentials(const QString &displayName) const
{
    QStringList values = m_credentials.value(displayName);
    if (const ServiceEntry *entry = ServiceCatalog::find(displayName))
        values.resize(entry->credentials.size());
    return values;
}

void ConfigState::setCredential(const QString &displayName, int index, const QString &text)
{
    QStringList values = credentials(displayName);
    if (index < 0 || index >= values.size() || values[index] == text)
        return;
    values[index] = text;
    m_credentials.insert(displayName, values);
    Q_EMIT credentialChanged(displayName, index, text);
}

void ConfigState::refreshAuthorizations()
{
    QSet<QString> found;
    QString problem;
    const RcloneConfigFile file(m_setup.paths.rcloneConfigPath());
    file.refreshAuthorizations(
        ScanVariant::ConfigScreen, [&found](const QString &entry) { found.insert(entry); },
        &problem);
    const auto reading = file.read();
    const QList<ServiceRemote> remotes =
        reading && problem.isEmpty() ? serviceRemotes(*reading) : QList<ServiceRemote>{};
    if (remotes != m_serviceRemotes) {
        m_serviceRemotes = remotes;
        Q_EMIT serviceRemotesChanged();
    }
    assign(this, m_configProblem, problem, &ConfigState::configProblemChanged);
    setAuthorizedServices(found);
}

ServiceRemote ConfigState::serviceRemote(const QString &displayName) const
{
    for (const ServiceRemote &remote : m_serviceRemotes) {
        if (remote.displayName == displayName)
            return remote;
    }
    return {displayName, remoteNameFor(displayName), {}, false};
}

void ConfigState::chooseRemote(const QString &displayName, const QString &remote)
{
    Settings().setChosenRemote(displayName, remote);
    refreshAuthorizations();
}

void ConfigState::startAuthorization()
{
    if (!unavailableReason(m_selectedService).isEmpty())
        return;
    skyloft::startAuthorization(*this, m_setup);
}

void ConfigState::setBackends(RcloneBackends *backends)
{
    m_backends = backends;
    if (backends)
        connect(backends, &RcloneBackends::changed, this, &ConfigState::backendsChanged);
    Q_EMIT backendsChanged();
}

QString ConfigState::unavailableReason(const QString &displayName) const
{
    const ServiceEntry *entry = ServiceCatalog::find(displayName);
    return m_backends && entry ? m_backends->unavailableReason(entry->remoteType) : QString();
}

std::shared_ptr<RunControl> ConfigState::beginAuthorization()
{
    if (m_current)
        m_current->cancel();
    m_current = std::make_shared<RunControl>();
    setSignInAddress({});
    setFailure({});
    return m_current;
}

void ConfigState::cancelSignIn()
{
    if (m_current)
        m_current->cancel();
    setSignInAddress({});
}

bool ConfigState::isCurrent(const RunControl &control) const
{
    return m_current.get() == &control && !control.isCancelled();
}

void ConfigState::showSignInAddress(const RunControl &control, const QString &address)
{
    if (isCurrent(control))
        setSignInAddress(address);
}

void ConfigState::finishAuthorization(const RunControl &control, const QString &failure)
{
    if (!isCurrent(control))
        return;
    setSignInAddress({});
    setFailure(failure);
}

void ConfigState::setSignInAddress(const QString &address)
{
    assign(this, m_signInAddress, address, &ConfigState::signInAddressChanged);
}

void ConfigState::setFailure(const QString &failure)
{
    assign(this, m_failure, failure, &ConfigState::failureChanged);
}

} // namespace skyloft
