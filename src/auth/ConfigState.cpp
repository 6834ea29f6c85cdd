// SPDX-License-Identifier: MIT
#include "auth/ConfigState.h"

#include "auth/Authorization.h"
#include "core/RcloneBackends.h"
#include "core/RcloneConfigFile.h"
#include "core/ServiceCatalog.h"

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

void ConfigState::setMegaEmail(const QString &text)
{
    assign(this, m_megaEmail, text, &ConfigState::megaEmailChanged);
}

void ConfigState::setMegaPassword(const QString &text)
{
    assign(this, m_megaPassword, text, &ConfigState::megaPasswordChanged);
}

void ConfigState::setFichierAPI(const QString &text)
{
    assign(this, m_fichierAPI, text, &ConfigState::fichierAPIChanged);
}

void ConfigState::refreshAuthorizations()
{
    QSet<QString> found;
    RcloneConfigFile(m_setup.paths.rcloneConfigPath())
        .refreshAuthorizations(ScanVariant::ConfigScreen,
                               [&found](const QString &entry) { found.insert(entry); });
    setAuthorizedServices(found);
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
    return m_backends ? m_backends->unavailableReason(remoteNameFor(displayName)) : QString();
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
