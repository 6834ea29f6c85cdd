// SPDX-License-Identifier: MIT
#pragma once

#include "core/RclonePaths.h"

#include <QMap>
#include <QMutex>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace skyloft {

inline constexpr quint16 kAuthPortLowest = 53682;
inline constexpr quint16 kAuthPortHighest = 60000;

inline const QString kErrorEjecutandoRclone = QStringLiteral("Error ejecutando rclone: ");

// The whole environment of an rclone child: nothing of Skyloft's own environment is passed on.
using RcloneEnvironment = QMap<QString, QString>;

// The desktop session's variables that a browser opener (xdg-open) needs to reach the desktop.
QStringList desktopSessionVariables();

// RCLONE_CONFIG, HOME, PATH and TCELL_MINIMIZE (it only skips work in rclone's start-up), plus
// every RCLONE_* variable of `own` but RCLONE_CONFIG, so a user's options (their own client id)
// reach rclone. With a port, for an authorization: RCLONE_AUTH_PORT and the desktop session's
// variables of `own` as well, so that rclone can open the browser.
RcloneEnvironment
makeRcloneEnvironment(const RclonePaths &paths, std::optional<quint16> port = std::nullopt,
                      const QProcessEnvironment &own = QProcessEnvironment::systemEnvironment());
QProcessEnvironment toProcessEnvironment(const RcloneEnvironment &environment);

// Lets another thread end one blocking run, by its process id and never by name. A run whose
// control is cancelled before it starts does not start.
class RunControl
{
public:
    void cancel();
    bool isCancelled() const;

    // For the runner: false (and nothing recorded) when already cancelled.
    bool attach(qint64 pid);
    void detach();

private:
    mutable QMutex m_mutex;
    qint64 m_pid = 0;
    bool m_cancelled = false;
};

// What a caller may add to a blocking run: a control, and a look at the output as it arrives
// (everything so far, decoded leniently), called on the running thread.
struct RunHooks
{
    std::shared_ptr<RunControl> control;
    std::function<void(const QString &outputSoFar)> onOutput;
};

// The blocking runs below are for worker threads only: they wait for the child.

// Runs globalRclonePath with stdout and stderr joined. Without an environment the child inherits
// ours; without input its stdin is empty. Output that is not UTF-8 gives the empty text.
QString runRcloneCollect(const RclonePaths &paths, const QStringList &arguments,
                         const std::optional<RcloneEnvironment> &environment = std::nullopt,
                         const std::optional<QString> &inputText = std::nullopt,
                         const RunHooks &hooks = {});

// Runs executablePath, writes answerText to its stdin and then closes it, so a child that asks
// for more cannot hang us. Invalid UTF-8 becomes U+FFFD.
QString runRcloneWithAnswer(const QString &executablePath, const QStringList &arguments,
                            const RcloneEnvironment &environment, const QString &answerText,
                            const RunHooks &hooks = {});

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
