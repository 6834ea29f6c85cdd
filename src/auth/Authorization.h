// SPDX-License-Identifier: MIT
#pragma once

#include "auth/AuthorizationJob.h"

#include <QString>

namespace skyloft {

class ConfigState;

// The authorize action. Reads the selection, the credentials and the rclone to run as they stand
// now, then hands the rest to a worker: stop every rclone, make sure the configuration file
// exists, find a free port, run the service's commands. The GUI thread never waits for any of it.
void startAuthorization(ConfigState &state, const AuthorizationSetup &setup);

// The worker's part once a port is chosen: the service's branch, then the common tail (address
// report, one retry on a busy port, result log, configuration report). Blocks on rclone.
void runAuthorization(AuthorizationJob job);

// On the GUI thread: prints the report and judges success by the remote's section header in it.
void reportAuthorizationResult(ConfigState &state, const QString &report,
                               const AuthorizationJob &job);

} // namespace skyloft
