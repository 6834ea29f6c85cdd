// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <cstdio>

namespace skyloft {

// Writes the text as UTF-8 in one call and flushes at once, so that lines from several threads
// and from child processes sharing the stream keep their order.
void writeText(std::FILE *stream, const QString &text);

// One diagnostic line on standard output: at once on a terminal, else within a moment, together
// with the lines around it (and at exit). Children that share standard output (killall) are
// started after a flush.
void logLine(const QString &line);

} // namespace skyloft
