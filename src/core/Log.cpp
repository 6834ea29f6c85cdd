// SPDX-License-Identifier: MIT
#include "core/Log.h"

#include <QCoreApplication>
#include <QTimer>

#include <atomic>
#include <unistd.h>

namespace skyloft {

namespace {

// Lines into a pipe or a file are flushed together, at most this long after the first of them.
constexpr int kFlushMs = 50;

std::atomic_bool g_flushPending = false;

void flushSoon()
{
    if (g_flushPending.exchange(true))
        return;
    QCoreApplication *app = QCoreApplication::instance();
    if (!app) {
        g_flushPending = false;
        std::fflush(stdout);
        return;
    }
    // Runs on the application's thread, whichever thread logged.
    QTimer::singleShot(kFlushMs, app, [] {
        g_flushPending = false;
        std::fflush(stdout);
    });
}

} // namespace

void writeText(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    // One fwrite per text: stdio locks the stream for the call, so lines never interleave.
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

void logLine(const QString &line)
{
    // A person watching a terminal sees each line at once; a pipe or a file gets them in
    // batches (and all of them at exit), which spares a write per line on a long run.
    static const bool terminal = ::isatty(STDOUT_FILENO) == 1;
    if (terminal) {
        writeText(stdout, line + QLatin1Char('\n'));
        return;
    }
    const QByteArray bytes = (line + QLatin1Char('\n')).toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    flushSoon();
}

} // namespace skyloft
