// SPDX-License-Identifier: MIT
#include "core/ServiceCatalog.h"

namespace skyloft {

namespace ServiceCatalog {

const QList<ServiceEntry> &entries()
{
    static const QList<ServiceEntry> table = {
        {"Google Drive", "drive", AuthorizationKind::SignIn, {}, true, true},
        {"Dropbox", "dropbox", AuthorizationKind::SignIn, {}, true, true},
        {"Mega", "mega", AuthorizationKind::Credentials, {"user", "pass"}, true, true},
        {"1Fichier", "fichier", AuthorizationKind::Credentials, {"api_key"}, true, true},
        {"OneDrive", "onedrive", AuthorizationKind::SignInWithDrive, {}, false, false},
        {"Box", "box", AuthorizationKind::None, {}, false, false},
    };
    return table;
}

static QStringList namesWhere(bool ServiceEntry::*flag)
{
    QStringList names;
    for (const ServiceEntry &entry : entries()) {
        if (entry.*flag)
            names << entry.displayName;
    }
    return names;
}

QStringList services()
{
    return namesWhere(&ServiceEntry::listed);
}
QStringList serviciosOrden()
{
    return namesWhere(&ServiceEntry::listed);
}
QStringList scannedServices()
{
    return namesWhere(&ServiceEntry::scanned);
}

const ServiceEntry *find(const QString &displayName)
{
    for (const ServiceEntry &entry : entries()) {
        if (entry.displayName == displayName)
            return &entry;
    }
    return nullptr;
}

const ServiceEntry *findListed(const QString &displayName)
{
    const ServiceEntry *entry = find(displayName);
    return entry && entry->listed ? entry : nullptr;
}

} // namespace ServiceCatalog

QString remoteNameFor(const QString &displayName)
{
    if (const ServiceEntry *entry = ServiceCatalog::find(displayName))
        return entry->remoteName;
    return displayName.toLower().remove(QLatin1Char(' '));
}

QString serviceIconName(const QString &displayName)
{
    const QString lower = displayName.toLower();
    if (lower == QLatin1String("google drive"))
        return QStringLiteral("googledrive");
    if (lower == QLatin1String("dropbox") || lower == QLatin1String("mega"))
        return lower;
    if (lower == QLatin1String("1fichier"))
        return QStringLiteral("fichier");
    return QStringLiteral("questionmark.circle");
}

QString uploadServiceImageName(const QString &displayName)
{
    return displayName.toLower()
        .remove(QLatin1Char(' '))
        .replace(QLatin1String("1fichier"), QLatin1String("fichier"));
}

QString linksSectionImageName(const QString &sectionKey)
{
    const QString lower = sectionKey.toLower();
    if (lower == QLatin1String("drive"))
        return QStringLiteral("googledrive");
    if (lower == QLatin1String("dropbox") || lower == QLatin1String("mega"))
        return lower;
    return QStringLiteral("fichier");
}

} // namespace skyloft
