// SPDX-License-Identifier: MIT
#pragma once

#include "core/RclonePaths.h"
#include "core/RcloneRunner.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QObject;
class QProcess;

namespace skyloft {

inline const QString kGlobalRclonePathVacio = QStringLiteral("❌ globalRclonePath está vacío");

using CopyProgressHandler = std::function<void(double fraction)>;
using CopyDoneHandler = std::function<void(const QString &output)>;

// Starts globalRclonePath with `arguments`, stdout and stderr joined and stdin empty, on the
// calling (GUI) thread, and returns at once. Every piece of output is printed and searched for
// the copy's percentage by itself (readCopyChunk), reported through onProgress. When the child
// ends, whatever its status, onProgress(1.0) comes first and then onDone with the output not yet
// read (empty when it is not valid UTF-8). Without an executable, or when it cannot be launched,
// only onDone comes, with the error text. The callbacks never run before this returns.
//
// The process belongs to `owner` and deletes itself once it has ended; the returned pointer
// (null when no process was created) lets a caller terminate it meanwhile.
QProcess *runStreamingRclone(QObject *owner, const RclonePaths &paths, const QStringList &arguments,
                             const std::optional<RcloneEnvironment> &environment,
                             CopyProgressHandler onProgress, CopyDoneHandler onDone);

} // namespace skyloft
