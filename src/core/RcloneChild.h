// SPDX-License-Identifier: MIT
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>

namespace skyloft {

// How an rclone child ended.
struct RcloneChildEnd
{
    bool started = true; // false: it could not be launched, `error` says why
    int exitCode = 0;
    bool crashed = false; // ended by a signal
    QString error;
    bool succeeded() const { return started && !crashed && exitCode == 0; }
};

using RcloneChildEnded = std::function<void(QProcess *process, const RcloneChildEnd &end)>;

// Starts an rclone child owned by `owner` on the calling (GUI) thread and returns at once, with
// stdin empty. onEnded runs exactly once and never before this returns: when the child has exited,
// whatever its status (its unread output is still in `process`), or when it could not be launched.
// The process deletes itself afterwards. The child dies with Skyloft.
QProcess *startRcloneChild(QObject *owner, const QString &program, const QStringList &arguments,
                           const QProcessEnvironment &environment,
                           QProcess::ProcessChannelMode channels, RcloneChildEnded onEnded);

// Asks the kernel to SIGKILL the child of `process` when the thread that starts it goes away, so
// that no rclone outlives a Skyloft that was killed.
void dieWithSkyloft(QProcess &process);

// Ends the child at once, with none of the process's signals reaching anyone, and deletes it.
void stopQuietly(QProcess *process);

} // namespace skyloft
