// SPDX-License-Identifier: MIT
#include "auth/Authorization.h"

#include "auth/AuthorizationUrl.h"
#include "auth/ConfigState.h"
#include "auth/CredentialAuthorization.h"
#include "auth/OneDriveAuthorization.h"
#include "core/BlockingWork.h"
#include "core/Log.h"
#include "core/RcloneCommands.h"
#include "core/RcloneConfigFile.h"
#include "core/ServiceCatalog.h"

#include <QCoreApplication>
#include <QRegularExpression>
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
        job.executablePath,
        RcloneCommands::webSignInCreate(job.configPath(), job.remoteName, job.remoteType),
        job.environment, QStringLiteral("y\n"), job.runHooks());
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
            job.setup.paths, RcloneCommands::authorizeRetry(job.configPath(), job.remoteType),
            job.environment, std::nullopt, job.runHooks());
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
    const RcloneConfigFile config(job.configPath());
    const QString report = config.configDiagnosticReport();
    job.credentialsStored = config.status(job.remoteName) == AuthorizationStatus::authorized;
    job.postToState(
        [report, job](ConfigState &state) { reportAuthorizationResult(state, report, job); });
}

// The action's blocking steps, in order, then the run itself.
void prepareAndRun(AuthorizationJob job)
{
    // Replaced by a later press before its turn came: that press's steps follow at once.
    if (job.control->isCancelled())
        return;
    killAllRclone(job.setup.killallPath);
    RcloneConfigFile(job.configPath()).ensureDefaultConfig();
    const auto port = findFreePort(job.setup.lowestPort, job.setup.highestPort);
    if (!port) {
        job.postFailure(QStringLiteral("❌ No se encontró un puerto libre."));
        return;
    }
    job.authPort = *port;
    job.environment = makeRcloneEnvironment(job.setup.paths, *port, job.setup.ownEnvironment);
    runAuthorization(std::move(job));
}

// Why no credentials were stored: rclone's own last line without its date, else a plain reason.
QString failureReason(const QString &output, const QString &remoteName, bool sectionFound)
{
    static const QRegularExpression timestamp(QStringLiteral(R"(^\d{4}/\d\d/\d\d \d\d:\d\d:\d\d )"),
                                              QRegularExpression::UseUnicodePropertiesOption);
    const QStringList lines = output.split(QLatin1Char('\n'));
    for (auto it = lines.crbegin(); it != lines.crend(); ++it) {
        const QString line = it->trimmed();
        if (!line.isEmpty())
            return QString(line).remove(timestamp);
    }
    if (!sectionFound)
        return QStringLiteral("La sección [") + remoteName +
               QStringLiteral("] no se encontró en el archivo de configuración.");
    return QStringLiteral("rclone terminó sin guardar las credenciales.");
}

} // namespace

void startAuthorization(ConfigState &state, const AuthorizationSetup &setup)
{
    const QString service = state.selectedService();
    const ServiceEntry *entry = ServiceCatalog::find(service);
    const QString remoteName = state.serviceRemote(service).remote;
    AuthorizationJob job{.serviceName = service,
                         .remoteName = remoteName,
                         .remoteType = entry ? entry->remoteType : remoteName,
                         .executablePath = setup.paths.authorizationRclonePath(),
                         .credentials = state.credentials(service),
                         .control = state.beginAuthorization(),
                         .setup = setup,
                         .state = &state,
                         .receiver = QCoreApplication::instance()};
    BlockingWork::authorizations().start([job = std::move(job)] { prepareAndRun(job); });
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
    // Withdrawn by a later press or by "Cancelar": the screen has moved on.
    if (job.control->isCancelled())
        return;
    if (job.credentialsStored) {
        state.setMensaje(QStringLiteral("✅ ") + job.serviceName +
                         QStringLiteral(" configurado correctamente"));
        state.addAuthorizedService(job.serviceName.toLower());
        state.finishAuthorization(*job.control, QString());
        return;
    }
    const bool sectionFound = report.contains(QLatin1Char('[') + job.remoteName + QLatin1Char(']'));
    const QString reason = failureReason(job.output, job.remoteName, sectionFound);
    // The message keeps its established wording where the section is missing; the line on screen
    // gives rclone's own reason.
    state.setMensaje(QStringLiteral("❌ Error configurando ") + job.serviceName +
                     QStringLiteral(": ") +
                     (sectionFound ? reason
                                   : QStringLiteral("La sección [") + job.remoteName +
                                         QStringLiteral("] no se encontró en el config file. "
                                                        "Intenta reconectar el servicio.")));
    state.finishAuthorization(*job.control, failureText(job.serviceName, reason));
}

} // namespace skyloft
