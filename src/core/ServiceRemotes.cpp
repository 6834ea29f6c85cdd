// SPDX-License-Identifier: MIT
#include "core/ServiceRemotes.h"

#include "core/PublicLinks.h"
#include "core/RcloneConfigReading.h"
#include "core/ServiceCatalog.h"
#include "core/Settings.h"

namespace skyloft {

ServiceRemote serviceRemote(const ServiceEntry &entry, const RcloneConfigReading &reading,
                            const QString &chosen)
{
    ServiceRemote result{entry.displayName, entry.remoteName, {}, false};
    if (reading.find(entry.remoteName))
        return result;
    // An alias counts as the backend it leads to.
    for (const RcloneRemote &remote : reading.remotes()) {
        if (documentedSupport(reading, remote.name).type == entry.remoteType)
            result.candidates << remote.name;
    }
    // A remembered choice stands while its remote exists, whatever its type: the user made it.
    if (!chosen.isEmpty() && reading.find(chosen)) {
        result.remote = chosen;
        if (!result.candidates.contains(chosen))
            result.candidates << chosen;
    } else if (result.candidates.size() == 1)
        result.remote = result.candidates.first();
    else
        result.choiceNeeded = result.candidates.size() > 1;
    return result;
}

QList<ServiceRemote> serviceRemotes(const RcloneConfigReading &reading)
{
    const Settings settings;
    QList<ServiceRemote> result;
    for (const ServiceEntry &entry : ServiceCatalog::entries()) {
        if (entry.listed)
            result << serviceRemote(entry, reading, settings.chosenRemote(entry.displayName));
    }
    return result;
}

} // namespace skyloft
