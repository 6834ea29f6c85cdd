// SPDX-License-Identifier: MIT
#pragma once

#include "core/RcloneConfigReading.h"

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

// The two screens report the scan differently (see authorizedEntry and statusLine).
enum class ScanVariant
{
    ConfigScreen, // entries are lower-cased display names ("google drive")
    UploadScreen, // entries are the services' own remote names ("drive")
};

struct ServiceAuthorization
{
    QString displayName;
    QString remoteName; // the remote that serves it
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

    // The file as rclone reads it, or nothing (and why, when asked) when it cannot be read.
    std::optional<RcloneConfigReading> read(QString *why = nullptr) const;

    // Status of each scanned service, or nothing (after printing why) when the file is unreadable
    // or rclone could not use it; `problem` then says so for the screens when it is the latter
    // (an encrypted or broken file), and is left alone when the file is just missing.
    std::optional<QList<ServiceAuthorization>> scanAuthorizations(QString *problem = nullptr) const;

    // The whole refresh a screen does: scans, prints one line per service and hands `add` the
    // entry of every authorized one. Returns false when the file could not be used.
    bool refreshAuthorizations(ScanVariant variant,
                               const std::function<void(const QString &entry)> &add,
                               QString *problem = nullptr) const;

    // The status of one remote's section by the configuration screen's rule; noSection when the
    // file cannot be read.
    AuthorizationStatus status(const QString &remoteName) const;
    // The `type` of the remote's section ("alias", "mega"), empty when there is none.
    QString remoteType(const QString &remoteName) const;

    // Authorized when the remote holds a "token", "api_key" or "user" with a value.
    static AuthorizationStatus sectionStatus(const RcloneConfigReading &reading,
                                             const QString &remoteName);
    static QString authorizedEntry(ScanVariant variant, const ServiceAuthorization &service);
    static QString statusLine(ScanVariant variant, const ServiceAuthorization &service);

private:
    QString m_path;
};

} // namespace skyloft
