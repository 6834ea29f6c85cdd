// SPDX-License-Identifier: MIT
#pragma once

#include "core/RclonePaths.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace skyloft {

// copy FILE REMOTE:/ --progress --stats=1s with our configuration file: the file lands in the
// remote's top folder under its own name.
QStringList copyArguments(const RclonePaths &paths, const QString &filePath,
                          const QString &remoteName);

// What one piece of a copy's output says: the lines to print, in order, and the file's fraction
// done when the piece holds one.
struct CopyChunkReading
{
    QStringList lines;
    std::optional<double> fraction;
};

// Reads one piece of output by itself; nothing carries over between pieces, so a statistics
// line split across two pieces yields nothing. Only the first percentage in a piece counts.
CopyChunkReading readCopyChunk(const QByteArray &chunk);

// A line (trimmed) of rclone's statistics block or transfer list, which says nothing of a failure.
bool isStatisticsLine(const QString &line);

// What a statistics line of bytes says ("Transferred: 45 MiB / 286.102 MiB, 16%, 4.5 MiB/s,
// ETA 2s"): bytes done, the bytes of the transfer and the speed now, in bytes a second.
struct TransferLine
{
    qint64 bytes = 0;
    qint64 total = 0;
    double speed = 0;
    bool operator==(const TransferLine &) const = default;
};

// The last such line in a piece of output; nothing when it holds none (the line of file counts,
// "Transferred: 0 / 1, 0%", is not one).
std::optional<TransferLine> readTransferLine(const QString &text);

// The last line of rclone's output that says something: statistics lines and blank ones are
// passed over, so a failed copy gives its "Failed to copy: ..." line. Empty when there is none.
QString lastMeaningfulLine(const QString &text);

} // namespace skyloft
