// SPDX-License-Identifier: MIT
#include "core/ServiceCatalog.h"

namespace skyloft {

namespace ServiceCatalog {

namespace {

QList<ServiceEntry> &table()
{
    using enum AuthorizationKind;
    SKYLOFT_CATALOG_ROWS_BEGIN
    static QList<ServiceEntry> rows = {
        {.displayName = "Google Drive",
         .remoteType = "drive",
         .remoteName = "drive",
         .defaultSection = "drive",
         .iconName = "googledrive",
         .authorization = SignIn},
        {.displayName = "Dropbox",
         .remoteType = "dropbox",
         .remoteName = "dropbox",
         .defaultSection = "dropbox",
         .iconName = "dropbox",
         .authorization = SignIn},
        {.displayName = "Mega",
         .remoteType = "mega",
         .remoteName = "mega",
         .defaultSection = "mega",
         .iconName = "mega",
         .authorization = Credentials,
         .credentials = {{"user", "Usuario de Mega"}, {"pass", "Contraseña de Mega", true}},
         .missingCredentials = "❌ Ingresa email y password para Mega."},
        // The default file's "1fichier" section is not the remote 1Fichier uses.
        {.displayName = "1Fichier",
         .remoteType = "fichier",
         .remoteName = "fichier",
         .defaultSection = "1fichier",
         .iconName = "fichier",
         .authorization = Credentials,
         .credentials = {{"api_key", "API Key de 1Fichier"}},
         .missingCredentials = "❌ Ingresa la API Key para 1Fichier."},
        {.displayName = "OneDrive",
         .remoteType = "onedrive",
         .remoteName = "onedrive",
         .defaultSection = "onedrive",
         .authorization = SignInWithDrive,
         .listed = false,
         .scanned = false},
        {.displayName = "Box",
         .remoteType = "box",
         .remoteName = "box",
         .defaultSection = "box",
         .authorization = None,
         .listed = false,
         .scanned = false},
    };
    SKYLOFT_CATALOG_ROWS_END
    return rows;
}

QStringList namesWhere(bool ServiceEntry::*flag)
{
    QStringList names;
    for (const ServiceEntry &entry : table()) {
        if (entry.*flag)
            names << entry.displayName;
    }
    return names;
}

} // namespace

const QList<ServiceEntry> &entries()
{
    return table();
}

void add(const ServiceEntry &entry)
{
    // After the last listed row, so the unlisted ones stay at the end.
    QList<ServiceEntry> &rows = table();
    auto at = rows.begin();
    for (auto it = rows.begin(); it != rows.end(); ++it) {
        if (it->listed)
            at = it + 1;
    }
    rows.insert(at, entry);
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
    for (const ServiceEntry &entry : table()) {
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
    const ServiceEntry *entry = ServiceCatalog::find(displayName);
    return entry && !entry->iconName.isEmpty() ? entry->iconName
                                               : QStringLiteral("questionmark.circle");
}

QString uploadServiceImageName(const QString &displayName)
{
    if (const ServiceEntry *entry = ServiceCatalog::find(displayName);
        entry && !entry->iconName.isEmpty())
        return entry->iconName;
    return displayName.toLower()
        .remove(QLatin1Char(' '))
        .replace(QLatin1String("1fichier"), QLatin1String("fichier"));
}

QString linksSectionImageName(const QString &sectionKey)
{
    for (const ServiceEntry &entry : ServiceCatalog::entries()) {
        // Exactly: another remote may be called "MEGA" and be anything.
        if (!entry.iconName.isEmpty() && entry.remoteName == sectionKey)
            return entry.iconName;
    }
    return remoteImageName();
}

QString remoteImageName()
{
    return QStringLiteral("cloud.square.fill");
}

bool isServiceSection(const QString &sectionKey)
{
    for (const ServiceEntry &entry : ServiceCatalog::entries()) {
        if (entry.listed && entry.remoteName == sectionKey)
            return true;
    }
    return false;
}

} // namespace skyloft
