// SPDX-License-Identifier: MIT
#pragma once

#include "core/RclonePaths.h"

#include <QMap>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <optional>

namespace skyloft {

inline constexpr quint16 kAuthPortLowest = 53682;
inline constexpr quint16 kAuthPortHighest = 60000;

inline const QString kErrorEjecutandoRclone = QStringLiteral("Error ejecutando rclone: ");

// The whole environment of an rclone child: nothing of Skyloft's own environment is passed on.
using RcloneEnvironment = QMap<QString, QString>;

// RCLONE_CONFIG, HOME and PATH; RCLONE_AUTH_PORT too when a port is given.
RcloneEnvironment makeRcloneEnvironment(const RclonePaths &paths,
                                        std::optional<quint16> port = std::nullopt);
QProcessEnvironment toProcessEnvironment(const RcloneEnvironment &environment);

// The blocking runs below are for worker threads only: they wait for the child.

// Runs globalRclonePath with stdout and stderr joined. Without an environment the child inherits
// ours; without input its stdin is empty. Output that is not UTF-8 gives the empty text.
QString runRcloneCollect(const RclonePaths &paths, const QStringList &arguments,
                         const std::optional<RcloneEnvironment> &environment = std::nullopt,
                         const std::optional<QString> &inputText = std::nullopt);

// Runs executablePath, writes answerText to its stdin and then closes it, so a child that asks
// for more cannot hang us. Invalid UTF-8 becomes U+FFFD.
QString runRcloneWithAnswer(const QString &executablePath, const QStringList &arguments,
                            const RcloneEnvironment &environment, const QString &answerText);

// Ends every process of the user named rclone, and waits for killall.
void killAllRclone(const QString &killallPath = QStringLiteral("/usr/bin/killall"));

// The first port in [lower, upper] that can be bound on 127.0.0.1, each try after 200 ms.
std::optional<quint16> findFreePort(int lower, int upper);

// Ends the rclone children of blocking runs still waiting (an abandoned sign-in), so that
// quitting never waits on a browser that will not come back.
void terminateBlockingRuns();

// For quitting: terminateBlockingRuns(), and from now on every blocking run is ended as soon as it
// starts, so a worker that launches its sign-in after the sweep cannot hold the exit either.
void endBlockingRunsForQuit();

} // namespace skyloft
