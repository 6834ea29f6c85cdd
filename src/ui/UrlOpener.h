// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

class QUrl;

namespace skyloft {

// Opens a web address in the user's browser; QDesktopServices::openUrl in the application.
using UrlOpener = std::function<bool(const QUrl &)>;

} // namespace skyloft
