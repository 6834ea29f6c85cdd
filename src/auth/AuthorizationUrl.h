// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QUrl>

#include <optional>

namespace skyloft {

// The first address of rclone's local sign-in server in the text
// (http://127.0.0.1:PORT/auth?state=...), or nothing when there is none or it does not parse.
std::optional<QUrl> findAuthorizationUrl(const QString &text);

// How an address found above is printed.
QString authorizationUrlText(const QUrl &url);

} // namespace skyloft
