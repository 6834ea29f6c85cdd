// SPDX-License-Identifier: MIT
#pragma once

#include <QSettings>

namespace skyloft {

// Skyloft's own settings, kept in $XDG_CONFIG_HOME/skyloft/skyloft.conf. Every remembered choice
// has a typed getter and setter here, with its default in one place, so no key string is spread
// through the code. Cheap to make: create one where a setting is read or written.
class Settings
{
public:
    Settings();

    // "Subida rápida": one rclone rcd per run instead of a process per step. On unless turned
    // off.
    bool subidaRapida() const;
    void setSubidaRapida(bool on);

    // "Icono en la bandeja": Skyloft's icon in the system tray, where the desktop has one.
    bool iconoEnLaBandeja() const;
    void setIconoEnLaBandeja(bool on);

    // "Limitar velocidad…": rclone's rate ("5M"); empty for no limit.
    QString limiteVelocidad() const;
    void setLimiteVelocidad(const QString &rate);
    // "Caducidad de enlaces…": rclone's duration ("7d"); empty for links that do not expire.
    QString caducidadEnlaces() const;
    void setCaducidadEnlaces(const QString &expiry);

    // The remote the user chose for a service on its tile ("Remoto:"); empty when none.
    QString chosenRemote(const QString &displayName) const;
    void setChosenRemote(const QString &displayName, const QString &remote);

private:
    QSettings m_store;
};

// A tuning knob of the environment ($SKYLOFT_STALL_SECONDS, $SKYLOFT_TRANSFERS): its value when it
// is a positive whole number, else `fallback`.
int positiveFromEnvironment(const char *name, int fallback);

} // namespace skyloft
