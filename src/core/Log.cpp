// SPDX-License-Identifier: MIT
#include "core/Log.h"

#include <cstdio>

namespace skyloft {

void logLine(const QString &line)
{
    QByteArray bytes = line.toUtf8();
    bytes.append('\n');
    // One fwrite per line: stdio locks the stream for the call, so lines never interleave.
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fflush(stdout);
}

} // namespace skyloft
