// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace skyloft {

// A bandwidth limit as the user writes it ("5", "5M", "1,5 MB/s", "500 KB/s", "Sin límite") in
// rclone's terms ("5M", "1.5M", "500K"; empty: none). Nothing when the text is not a rate.
std::optional<QString> bandwidthLimitFromText(const QString &text);
// An rclone rate as the menu shows it: "5 MB/s", "1,5 MB/s", "Sin límite".
QString bandwidthLimitLabel(const QString &rate);
// What the menu offers besides a value of one's own.
QStringList bandwidthLimitChoices();

// A link's lifetime as the user writes it ("7d", "7 días", "12 h", "2 semanas", "Sin caducidad")
// in rclone's terms ("7d", "12h", "2w"; empty: none). Nothing when the text is not a duration.
std::optional<QString> linkExpiryFromText(const QString &text);
// An rclone duration as the menu shows it: "7 días", "12 horas", "Sin caducidad".
QString linkExpiryLabel(const QString &expiry);
QStringList linkExpiryChoices();

} // namespace skyloft
