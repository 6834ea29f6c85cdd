// SPDX-License-Identifier: MIT
#pragma once

#include "core/RclonePaths.h"
#include "core/RcloneRunner.h"

#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

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
    // Where rclone's own options and the desktop session's variables come from.
    QProcessEnvironment ownEnvironment = QProcessEnvironment::systemEnvironment();

    static AuthorizationSetup forProcess() { return AuthorizationSetup{RclonePaths::process()}; }
};

// One press of the authorize button. Owned by its worker; only the worker touches the
// environment and the port.
struct AuthorizationJob
{
    QString serviceName;
    QString remoteName;
    QString remoteType; // the rclone backend, which `config create` and `authorize` take
    QString executablePath;
    RcloneEnvironment environment{};
    quint16 authPort = 0;
    // The service's credential fields as they stood at the press, in the catalog's order.
    QStringList credentials;
    QString output{};
    // Whether the remote's section holds credentials once rclone has ended: the only success.
    bool credentialsStored = false;
    // Ends this authorization's rclone when a later press or "Cancelar" withdraws it.
    std::shared_ptr<RunControl> control = std::make_shared<RunControl>();

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
    // Ends the authorization early: `mensaje` takes the text, and the screen shows it in red as
    // the reason (without its "❌ ").
    void postFailure(const QString &mensaje) const;
    // For every rclone run of the job: its control, and the sign-in address posted to the screen
    // as soon as rclone prints it.
    RunHooks runHooks() const;
};

} // namespace skyloft
