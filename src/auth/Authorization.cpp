// SPDX-License-Identifier: MIT
#include "auth/Authorization.h"

#include "auth/AuthorizationUrl.h"
#include "auth/ConfigState.h"
#include "auth/CredentialAuthorization.h"
#include "auth/OneDriveAuthorization.h"
#include "core/Log.h"
#include "core/RcloneCommands.h"
#include "core/RcloneConfigFile.h"
#include "core/ServiceCatalog.h"

#include <QCoreApplication>
#include <QThreadPool>

namespace skyloft {

namespace {

const QString kBusyPort = QStringLiteral("bind: address already in use");

AuthorizationKind kindOf(const AuthorizationJob &job)
{
    const ServiceEntry *entry = ServiceCatalog::find(job.serviceName);
    return entry ? entry->authorization : AuthorizationKind::None;
}

// Google Drive and Dropbox: rclone conducts the browser sign-in and returns when it has ended.
void runWebSignInBranch(AuthorizationJob &job)
{
    job.output = runRcloneWithAnswer(
        job.executablePath, RcloneCommands::webSignInCreate(job.configPath(), job.remoteName),
        job.environment, QStringLiteral("y\n"));
    if (const auto url = findAuthorizationUrl(job.output)) {
        const QString line =
            QStringLiteral("🌍 URL de autorización (API de rclone): ") + authorizationUrlText(*url);
        job.post([line] { logLine(line); });
    } else {
        job.postMensaje(QStringLiteral("⚠️ No se encontró URL válida para autorización."));
    }
}

// One retry only: the retry's own output is not examined again.
void retryOnBusyPort(AuthorizationJob &job)
{
    if (!job.output.contains(kBusyPort))
        return;
    const auto port = findFreePort(job.authPort + 1, job.setup.highestPort);
    if (!port)
        return;
    job.authPort = *port;
    job.environment.insert(QStringLiteral("RCLONE_AUTH_PORT"), QString::number(*port));
    logLine(QStringLiteral("Puerto ocupado. Se intenta con nuevo puerto ") +
            QString::number(*port));
    if (kindOf(job) == AuthorizationKind::SignIn)
        job.output = runRcloneCollect(
            job.setup.paths, RcloneCommands::authorizeRetry(job.configPath(), job.remoteName),
            job.environment);
}

void runCommonTail(AuthorizationJob &job)
{
    if (const auto url = findAuthorizationUrl(job.output))
        logLine(QStringLiteral("🌍 URL de autorización: ") + authorizationUrlText(*url));
    else
        logLine(QStringLiteral(
            "⚠️ No se encontró una URL de autorización válida en la salida."));
    retryOnBusyPort(job);
    logLine(QStringLiteral("Resultado de autorizar ") + job.serviceName +
            QStringLiteral(" en el puerto ") + QString::number(job.authPort) +
            QStringLiteral(":\n") + job.output);
    const QString report = RcloneConfigFile(job.configPath()).configDiagnosticReport();
    job.postToState(
        [report, job](ConfigState &state) { reportAuthorizationResult(state, report, job); });
}

// The action's blocking steps, in order, then the run itself.
void prepareAndRun(AuthorizationJob job)
{
    killAllRclone(job.setup.killallPath);
    RcloneConfigFile(job.configPath()).ensureDefaultConfig();
    const auto port = findFreePort(job.setup.lowestPort, job.setup.highestPort);
    if (!port) {
        job.postMensaje(QStringLiteral("❌ No se encontró un puerto libre."));
        return;
    }
    job.authPort = *port;
    job.environment = makeRcloneEnvironment(job.setup.paths, *port);
    runAuthorization(std::move(job));
}

} // namespace

void startAuthorization(ConfigState &state, const AuthorizationSetup &setup)
{
    AuthorizationJob job{
        .serviceName = state.selectedService(),
        .remoteName = remoteNameFor(state.selectedService()),
        .executablePath = setup.paths.authorizationRclonePath(),
        .credentials = {state.megaEmail(), state.megaPassword(), state.fichierAPI()},
        .setup = setup,
        .state = &state,
        .receiver = QCoreApplication::instance()};
    QThreadPool::globalInstance()->start([job = std::move(job)] { prepareAndRun(job); });
}

void runAuthorization(AuthorizationJob job)
{
    switch (kindOf(job)) {
    case AuthorizationKind::SignIn:
        runWebSignInBranch(job);
        break;
    case AuthorizationKind::SignInWithDrive:
        runOneDriveBranch(job);
        break;
    case AuthorizationKind::Credentials:
        if (!runCredentialBranch(job))
            return;
        break;
    case AuthorizationKind::None:
        break;
    }
    runCommonTail(job);
}

void reportAuthorizationResult(ConfigState &state, const QString &report,
                               const AuthorizationJob &job)
{
    logLine(report);
    if (report.contains(QLatin1Char('[') + job.remoteName + QLatin1Char(']'))) {
        state.setMensaje(QStringLiteral("✅ ") + job.serviceName +
                         QStringLiteral(" configurado correctamente"));
        state.addAuthorizedService(job.serviceName.toLower());
    } else {
        state.setMensaje(QStringLiteral("❌ Error configurando ") + job.serviceName +
                         QStringLiteral(": La sección [") + job.remoteName +
                         QStringLiteral("] no se encontró en el config file. Intenta reconectar "
                                        "el servicio."));
    }
}

} // namespace skyloft
