// SPDX-License-Identifier: MIT
#pragma once

#include <QJsonObject>
#include <QString>

#include <optional>

namespace skyloft {

// Readings of the answers of `rclone rcd` (its remote-control API, JSON objects). Pure: no
// network, no process.

// operations/copyfile with _async=true: {"jobid": N}.
std::optional<qint64> rcJobId(const QJsonObject &answer);

// job/status: whether the job is over and, once it is, whether it succeeded and rclone's error.
struct RcJobStatus
{
    bool finished = false;
    bool success = false;
    QString error;
};
std::optional<RcJobStatus> rcJobStatus(const QJsonObject &answer);

// core/stats for one job's group: bytes done over the bytes to move, while the total is known.
std::optional<double> rcStatsFraction(const QJsonObject &answer);

// operations/publiclink: {"url": "..."}; nothing when the answer holds no address.
std::optional<QString> rcPublicLink(const QJsonObject &answer);

// The error an answer carries ({"error": "...", "status": 404, ...}), empty when none.
QString rcErrorText(const QJsonObject &answer);

// An answer on one line, as the log shows it.
QString rcAnswerText(const QJsonObject &answer);

// The group rclone gives an asynchronous job, which core/stats takes to report only on it.
QString rcJobGroup(qint64 jobId);

} // namespace skyloft
