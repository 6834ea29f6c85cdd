// SPDX-License-Identifier: MIT
#include "auth/CredentialAuthorization.h"

#include "auth/AuthorizationJob.h"
#include "core/RcloneCommands.h"
#include "core/ServiceCatalog.h"

namespace skyloft {

namespace {

struct CredentialForm
{
    QStringList values; // in the order of the catalog's credential keys
    QString missingMessage;
};

CredentialForm formFor(const AuthorizationJob &job)
{
    const Credentials &typed = job.credentials;
    if (job.serviceName == QLatin1String("Mega"))
        return {{typed.megaEmail, typed.megaPassword},
                QStringLiteral("❌ Ingresa email y password para Mega.")};
    return {{typed.fichierAPI}, QStringLiteral("❌ Ingresa la API Key para 1Fichier.")};
}

} // namespace

bool runCredentialBranch(AuthorizationJob &job)
{
    const CredentialForm form = formFor(job);
    // Only an empty field is missing: white space is passed on as typed.
    for (const QString &value : form.values) {
        if (value.isEmpty()) {
            job.postFailure(form.missingMessage);
            return false;
        }
    }
    const ServiceEntry *entry = ServiceCatalog::find(job.serviceName);
    const QStringList keys = entry ? entry->credentialKeys : QStringList{};
    QStringList keysAndValues;
    for (qsizetype i = 0; i < keys.size() && i < form.values.size(); ++i)
        keysAndValues << keys[i] << form.values[i];
    job.output = runRcloneCollect(
        job.setup.paths,
        RcloneCommands::createWithCredentials(job.configPath(), job.remoteName, keysAndValues),
        job.environment, std::nullopt, job.runHooks());
    return true;
}

} // namespace skyloft
