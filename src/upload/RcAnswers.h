// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <optional>

namespace skyloft {

// Readings of what `rclone rcd` says: its start-up line and the answers of its remote-control
// API (JSON objects). Pure: no network, no process.

// The port of "... NOTICE: Serving remote control on http://127.0.0.1:PORT/", the line rcd
// writes once it listens; nothing for any other line or address.
std::optional<quint16> rcServingPort(QByteArrayView line);

// How far one copy has got, from core/stats of the copy's own group.
struct RcCopyStats
{
    qint64 bytes = 0;
    qint64 size = -1; // -1 while rclone does not know it
    double speed = 0; // bytes per second
    qint64 eta = -1;  // seconds left, -1 when rclone has no estimate
};
// Nothing when the answer is not a statistics answer.
std::optional<RcCopyStats> rcCopyStats(const QJsonObject &answer);

// operations/publiclink: {"url": "..."}; nothing when the answer holds no address.
std::optional<QString> rcPublicLink(const QJsonObject &answer);

// The error an answer carries ({"error": "...", "status": 404, ...}), empty when none.
QString rcErrorText(const QJsonObject &answer);

// An answer on one line, as the log shows it.
QString rcAnswerText(const QJsonObject &answer);

} // namespace skyloft
