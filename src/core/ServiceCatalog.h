// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace skyloft {

enum class AuthorizationKind
{
    SignIn,
    SignInWithDrive,
    Credentials,
    None
};

struct ServiceEntry
{
    QString displayName;
    QString remoteName; // also the rclone backend type
    AuthorizationKind authorization;
    QStringList credentialKeys;
    bool listed;  // offered by the configuration and upload screens
    bool scanned; // inspected by scanAuthorizations
};

// The fixed facts about the services Skyloft knows. Everything else derives from `entries()`.
namespace ServiceCatalog {

const QList<ServiceEntry> &entries();

// The listed services in display order: the tiles of the configuration screen, the buttons of
// the upload screen, and the services the scans inspect.
QStringList services();
QStringList serviciosOrden();
QStringList scannedServices();

// Exact lookup in the six-row table of remote names, or nothing.
const ServiceEntry *find(const QString &displayName);
// Exact lookup among the four listed (scanned) services only.
const ServiceEntry *findListed(const QString &displayName);

} // namespace ServiceCatalog

// The table's remote name, else the name lower-cased with plain spaces removed.
QString remoteNameFor(const QString &displayName);

// Image of a configuration screen tile ("googledrive", ... or "questionmark.circle").
QString serviceIconName(const QString &displayName);
// Image of an upload screen service button.
QString uploadServiceImageName(const QString &displayName);
// Image of a links screen section header, from the section key.
QString linksSectionImageName(const QString &sectionKey);

} // namespace skyloft
