// SPDX-License-Identifier: MIT
#pragma once

namespace skyloft {

struct AuthorizationJob;

// Mega and 1Fichier: creates the remote from the typed credentials. Returns false when a field
// was empty; the authorization then ends with its message and without the common tail.
bool runCredentialBranch(AuthorizationJob &job);

} // namespace skyloft
