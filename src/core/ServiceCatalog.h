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

// A value the user types to authorize a credential service: the rclone key that receives it,
// and the placeholder that names its field.
struct CredentialInput
{
    QString key;
    QString placeholder;
    bool secret = false; // masked while typed
};

struct ServiceEntry
{
    QString displayName;
    QString remoteType;     // the rclone backend
    QString remoteName;     // its remote, unless the file has only others of its type
    QString defaultSection; // the section the default configuration file holds for it, if any
    QString iconName;       // image in the resources; empty for none
    AuthorizationKind authorization = AuthorizationKind::SignIn;
    QList<CredentialInput> credentials; // in the order rclone receives them
    QString missingCredentials;         // when a field is empty at the press
    bool listed = true;                 // offered by the configuration and upload screens
    bool scanned = true;                // inspected by scanAuthorizations
};

// The facts about the services Skyloft knows, one row each. Tiles, pills, forms, scans and the
// default configuration file all derive from `entries()`: a new credential service is a new row
// (and its image), nothing more.
namespace ServiceCatalog {

// Rows name only the fields they set (designated initializers); g++ 12 warns about the others,
// which keep their defaults on purpose.
#define SKYLOFT_CATALOG_ROWS_BEGIN                                                                 \
    _Pragma("GCC diagnostic push")                                                                 \
        _Pragma("GCC diagnostic ignored \"-Wmissing-field-initializers\"")
#define SKYLOFT_CATALOG_ROWS_END _Pragma("GCC diagnostic pop")

const QList<ServiceEntry> &entries();
// A service beyond the built-in ones, listed after them. Only before the first screen is made.
void add(const ServiceEntry &entry);

// The listed services in display order: the tiles of the configuration screen, the buttons of
// the upload screen, and the services the scans inspect.
QStringList services();
QStringList serviciosOrden();
QStringList scannedServices();

// Exact lookup by display name, or nothing.
const ServiceEntry *find(const QString &displayName);
// Exact lookup among the listed services only.
const ServiceEntry *findListed(const QString &displayName);

} // namespace ServiceCatalog

// The catalog's remote name, else the name lower-cased with plain spaces removed.
QString remoteNameFor(const QString &displayName);

// Image of a configuration screen tile (the service's image, or "questionmark.circle").
QString serviceIconName(const QString &displayName);
// Image of an upload screen service button.
QString uploadServiceImageName(const QString &displayName);
// Image of a links screen section header, from the section key (a remote name): a service's
// logo, or the image of any other remote.
QString linksSectionImageName(const QString &sectionKey);
// The image of a destination that is no catalog service: any other remote of rclone's.
QString remoteImageName();
// Whether a links section key is one of the listed services' own remote names.
bool isServiceSection(const QString &sectionKey);

} // namespace skyloft
