// SPDX-License-Identifier: MIT
#pragma once

#include "core/RclonePaths.h"
#include "core/RcloneRunner.h"

#include <QPointer>
#include <QString>

#include <functional>

namespace skyloft {

class ConfigState;

// What an authorization is given rather than finds for itself, so tests can point it at a fake
// rclone, a killall stand-in and a port range of their own.
struct AuthorizationSetup
{
    RclonePaths paths;
    QString killallPath = QStringLiteral("/usr/bin/killall");
    int lowestPort = kAuthPortLowest;
    int highestPort = kAuthPortHighest;

    static AuthorizationSetup forProcess() { return AuthorizationSetup{RclonePaths::process()}; }
};

// The texts typed on the configuration screen, as they stood at the press.
struct Credentials
{
    QString megaEmail;
    QString megaPassword;
    QString fichierAPI;
};

// One press of the authorize button. Owned by its worker; only the worker touches the
// environment and the port.
struct AuthorizationJob
{
    QString serviceName;
    QString remoteName;
    QString executablePath;
    RcloneEnvironment environment{};
    quint16 authPort = 0;
    Credentials credentials;
    QString output{};

    AuthorizationSetup setup;
    // The screen's state may be gone by the time a sign-in ends, so work for it travels through
    // `receiver` (the application, alive until the workers have finished) and looks the state up
    // on arrival.
    QPointer<ConfigState> state;
    QObject *receiver = nullptr;

    QString configPath() const { return setup.paths.rcloneConfigPath(); }

    // Queue work for the GUI thread; the state variant is dropped when the state is gone.
    void post(const std::function<void()> &work) const;
    void postToState(const std::function<void(ConfigState &)> &work) const;
    void postMensaje(const QString &text) const;
};

} // namespace skyloft
