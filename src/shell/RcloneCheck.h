// SPDX-License-Identifier: MIT
#pragma once

#include "core/RclonePaths.h"

class QWidget;

namespace skyloft {

// At start-up, before anything else: when there is no rclone that can be run, an alert over
// `window` says which path was tried. Returns whether rclone is there.
bool warnIfRcloneMissing(QWidget *window, const RclonePaths &paths);

} // namespace skyloft
