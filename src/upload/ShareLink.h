// SPDX-License-Identifier: MIT
#pragma once

#include "core/RclonePaths.h"
#include "upload/CopyJob.h"

#include <QString>

#include <functional>
#include <optional>

class QObject;

namespace skyloft {

class GeneratedLinks;

using ShareLinkHandler = std::function<void(const std::optional<QString> &link)>;

// Asks `rclone link` (the resource looked up afresh) for REMOTE:/FILE and hands onResult the
// trimmed standard output once the child has ended; an empty text counts as a link. Nothing when
// there is no rclone resource, when it cannot be launched (a line is printed) or when the output
// is not UTF-8. rclone's standard error goes to ours. Returns at once; the process belongs to
// `owner`, and onResult never runs before this returns.
void fetchShareLink(QObject *owner, const RclonePaths &paths, const QString &remoteName,
                    const QString &fileName, ShareLinkHandler onResult);

// The link step after one copy: fetches the link of the job's file, prints the outcome and
// records a link in `links` with a queued call, so the line is out before the pair is in.
// onEnded runs when the link attempt is over, whatever its outcome.
void publishShareLink(QObject *owner, const RclonePaths &paths, const CopyJob &job,
                      GeneratedLinks *links, std::function<void()> onEnded);

// Appends (fileName, link) under remoteName.
void recordLink(GeneratedLinks &links, const QString &remoteName, const QString &fileName,
                const QString &link);

} // namespace skyloft
