// SPDX-License-Identifier: MIT
#include "auth/ConfigState.h"

#include "auth/Authorization.h"
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
    skyloft::startAuthorization(*this, m_setup);
}

} // namespace skyloft
