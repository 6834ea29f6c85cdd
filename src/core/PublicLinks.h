// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <optional>

namespace skyloft {

class RcloneConfigReading;

// What rclone says of a remote's backend: `rclone backend features REMOTE:` (stdout).
struct BackendFeatures
{
    bool publicLink = false;
    bool bucketBased = false; // S3 and the like: files go in a bucket, never at the root
    QString root;             // the bucket or folder the remote points into
    QString name;             // the backend the remote finally reaches ("s3" for an alias over S3)
};
std::optional<BackendFeatures> parseBackendFeatures(const QString &json);

// Where rclone cannot tell (the backend could not start: no network, an expired token), what its
// documentation says of the remote, following aliases to the remote they point into.
struct DocumentedSupport
{
    bool publicLink = false;
    bool configured = true; // false: a backend signed in through the web without its token
    QString type;           // the backend finally reached
};
DocumentedSupport documentedSupport(const RcloneConfigReading &reading, const QString &remote);

} // namespace skyloft
