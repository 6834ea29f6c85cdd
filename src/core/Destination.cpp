// SPDX-License-Identifier: MIT
#include "core/Destination.h"

#include "core/PublicLinks.h"
#include "core/RcloneConfigReading.h"
#include "core/ServiceCatalog.h"
#include "core/ServiceRemotes.h"

namespace skyloft {

bool Destination::isService() const
{
    return ServiceCatalog::findListed(name) != nullptr;
}

QString Destination::linksSection() const
{
    return linksSectionFor(name, remote);
}

QString linksSectionFor(const QString &name, const QString &remote)
{
    const ServiceEntry *entry = ServiceCatalog::findListed(name);
    return entry ? entry->remoteName : remote;
}

QList<Destination> resolveDestinations(const QStringList &names, const RcloneConfigReading &reading)
{
    const QList<ServiceRemote> services = serviceRemotes(reading);
    QList<Destination> destinations;
    for (const QString &name : names) {
        QString remote = name;
        for (const ServiceRemote &service : services) {
            if (service.displayName == name)
                remote = service.remote;
        }
        destinations << Destination{name, remote, documentedSupport(reading, remote).type};
    }
    return destinations;
}

} // namespace skyloft
