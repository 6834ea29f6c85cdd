// SPDX-License-Identifier: MIT
#include "core/Log.h"

namespace skyloft {

void writeText(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    // One fwrite per text: stdio locks the stream for the call, so lines never interleave.
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

void logLine(const QString &line)
{
    writeText(stdout, line + QLatin1Char('\n'));
}

} // namespace skyloft
