// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace skyloft {

enum class AuthorizationStatus
{
    authorized,
    sectionWithoutCredentials,
    noSection
};

// The two screens read the file with slightly different rules (see scanAuthorizations).
enum class ScanVariant
{
    ConfigScreen, // four-row table; a section ends at any "["; entries are lower-cased display
                  // names
    UploadScreen, // remoteNameFor; a section ends at a line starting with "["; entries are remotes
};

struct ServiceAuthorization
{
    QString displayName;
    QString remoteName;
    AuthorizationStatus status;
};

// What Skyloft itself does with rclone's configuration file: create it with default sections,
// describe it, and tell from its text which services are authorized. rclone writes the rest.
class RcloneConfigFile
{
public:
    explicit RcloneConfigFile(QString configPath);

    QString path() const { return m_path; }

    // The 140 bytes written when the file is missing.
    static QByteArray defaultContent();

    // Creates the file with the default content (owner-only, atomically) unless something is
    // already there, then lists the home folder. Prints its findings.
    void ensureDefaultConfig() const;

    // Path, existence, content and attributes, as multi-line text.
    QString configDiagnosticReport() const;

    // Status of each scanned service, or nothing (after printing why) when the file is unreadable.
    std::optional<QList<ServiceAuthorization>> scanAuthorizations(ScanVariant variant) const;

    // The whole refresh a screen does: scans, prints one line per service and hands `add` the
    // entry of every authorized one. Returns false when the file could not be read.
    bool refreshAuthorizations(ScanVariant variant,
                               const std::function<void(const QString &entry)> &add) const;

    // The status of one remote's section by the configuration screen's rule; noSection when the
    // file cannot be read.
    AuthorizationStatus status(const QString &remoteName) const;
    // The `type` of the remote's section ("alias", "mega"), empty when there is none.
    QString remoteType(const QString &remoteName) const;

    static AuthorizationStatus sectionStatus(const QString &text, const QString &remoteName,
                                             ScanVariant variant);
    static QString authorizedEntry(ScanVariant variant, const ServiceAuthorization &service);
    static QString statusLine(ScanVariant variant, const ServiceAuthorization &service);

private:
    QString m_path;
};

} // namespace skyloft
