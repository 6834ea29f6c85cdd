// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <optional>

namespace skyloft {

struct AuthorizationJob;

// The drive identifier in the output of a OneDrive reconnect: from the JSON object spanning the
// first "{" to the last "}", else from a quoted "drive_id" member anywhere. Prints one line when
// that span is not JSON.
std::optional<QString> extractDriveId(const QString &output);

// Renews the sign-in of the onedrive remote and writes the drive identifier into it; leaves the
// job's output for the common tail.
void runOneDriveBranch(AuthorizationJob &job);

} // namespace skyloft
