// SPDX-License-Identifier: MIT
#include "core/Settings.h"

namespace skyloft {

namespace {

const QString kSubidaRapida = QStringLiteral("subidaRapida");
const QString kIconoEnLaBandeja = QStringLiteral("iconoEnLaBandeja");
const QString kRemotos = QStringLiteral("remotos/");

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
