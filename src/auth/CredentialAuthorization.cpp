// SPDX-License-Identifier: MIT
#include "auth/CredentialAuthorization.h"

#include "auth/AuthorizationJob.h"
#include "core/RcloneCommands.h"
#include "core/ServiceCatalog.h"

namespace skyloft {

bool runCredentialBranch(AuthorizationJob &job)
{
    const ServiceEntry *entry = ServiceCatalog::find(job.serviceName);
    if (!entry)
        return false;
    // Only an empty field is missing: white space is passed on as typed.
    if (job.credentials.size() != entry->credentials.size() ||
        job.credentials.contains(QString())) {
        job.postFailure(entry->missingCredentials);
        return false;
    }
    QStringList keysAndValues;
    for (qsizetype i = 0; i < entry->credentials.size(); ++i)
        keysAndValues << entry->credentials[i].key << job.credentials[i];
    job.output =
        runRcloneCollect(job.setup.paths,
                         RcloneCommands::createWithCredentials(job.configPath(), job.remoteName,
                                                               job.remoteType, keysAndValues),
                         job.environment, std::nullopt, job.runHooks());
    return true;
}

} // namespace skyloft
