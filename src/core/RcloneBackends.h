// SPDX-License-Identifier: MIT
#pragma once

#include "core/RclonePaths.h"

#include <QObject>
#include <QSet>
#include <QString>

#include <optional>

namespace skyloft {

// The backend names listed by `rclone help backends` ("  drive   Google Drive"), or nothing when
// the text lists none (an rclone that failed or is missing tells us nothing).
std::optional<QSet<QString>> parseBackendNames(const QString &helpOutput);

// Which backends the installed rclone has, asked once in the background. Until the answer comes,
// or when rclone gave none, every backend counts as available: nothing is refused on a guess.
class RcloneBackends : public QObject
{
    Q_OBJECT
public:
    explicit RcloneBackends(QObject *parent = nullptr);

    // Runs `rclone help backends` off the GUI thread; `changed` follows the answer.
    void probe(const RclonePaths &paths);
    void setNames(const std::optional<QSet<QString>> &names);

    bool lacks(const QString &backend) const;
    // Why a service of that backend cannot be used, in Spanish; empty when it can.
    QString unavailableReason(const QString &backend) const;

Q_SIGNALS:
    void changed();

private:
    std::optional<QSet<QString>> m_names;
};

} // namespace skyloft
