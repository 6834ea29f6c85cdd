// SPDX-License-Identifier: MIT
#include "core/Settings.h"

#include "core/TransferLimits.h"

namespace skyloft {

namespace {

const QString kSubidaRapida = QStringLiteral("subidaRapida");
const QString kIconoEnLaBandeja = QStringLiteral("iconoEnLaBandeja");
const QString kRemotos = QStringLiteral("remotos/");
const QString kLimiteVelocidad = QStringLiteral("limiteVelocidad");
const QString kCaducidadEnlaces = QStringLiteral("caducidadEnlaces");

} // namespace

Settings::Settings() : m_store(QStringLiteral("skyloft"), QStringLiteral("skyloft")) {}

bool Settings::subidaRapida() const
{
    return m_store.value(kSubidaRapida, true).toBool();
}

void Settings::setSubidaRapida(bool on)
{
    m_store.setValue(kSubidaRapida, on);
}

bool Settings::iconoEnLaBandeja() const
{
    return m_store.value(kIconoEnLaBandeja, false).toBool();
}

void Settings::setIconoEnLaBandeja(bool on)
{
    m_store.setValue(kIconoEnLaBandeja, on);
}

QString Settings::limiteVelocidad() const
{
    // A value edited by hand into something that is no rate is no limit.
    return bandwidthLimitFromText(m_store.value(kLimiteVelocidad).toString()).value_or(QString());
}

void Settings::setLimiteVelocidad(const QString &rate)
{
    m_store.setValue(kLimiteVelocidad, rate);
}

QString Settings::caducidadEnlaces() const
{
    return linkExpiryFromText(m_store.value(kCaducidadEnlaces).toString()).value_or(QString());
}

void Settings::setCaducidadEnlaces(const QString &expiry)
{
    m_store.setValue(kCaducidadEnlaces, expiry);
}

QString Settings::chosenRemote(const QString &displayName) const
{
    return m_store.value(kRemotos + displayName).toString();
}

void Settings::setChosenRemote(const QString &displayName, const QString &remote)
{
    m_store.setValue(kRemotos + displayName, remote);
}

int positiveFromEnvironment(const char *name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value > 0 ? value : fallback;
}

} // namespace skyloft
