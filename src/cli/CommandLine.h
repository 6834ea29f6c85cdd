// SPDX-License-Identifier: MIT
#pragma once

#include "history/HistoryEntry.h"
#include "upload/PairOutcome.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace skyloft {

struct CommandLineRequest
{
    enum class Kind
    {
        Window,
        Version,
        Help,
        Upload,
        History,
        Remotes,
        UsageError
    };
    enum class Format
    {
        Tsv,
        Json
    };
    Kind kind = Kind::Window;
    QStringList paths;           // files and folders to queue
    QStringList services;        // --to: services' display names or other remotes' names
    Format format = Format::Tsv; // upload's rows, historial's entries, remotos' remotes
    QString message;             // help text or usage error
    QDateTime since;             // historial --desde; invalid for the whole history
    bool rapido = false;         // upload --rapido: "Subida rápida", one rclone rcd per upload
    bool procesos = false;       // upload --procesos: a process per copy and per link
    bool progreso = false;       // upload --progreso: progress lines also when not a terminal
    // upload --limite, --caduca in rclone's terms ("5M", "7d"; empty: none); unset when not given
    std::optional<QString> bandwidthLimit;
    std::optional<QString> linkExpiry;
};

// Reads Skyloft's arguments (the program name first, as QCoreApplication::arguments() gives).
// Every message is Spanish.
CommandLineRequest parseCommandLine(const QStringList &arguments);

// Whether these arguments open the window; the others run without a display.
bool needsWindow(int argc, char **argv);

// Runs a request that needs no window and returns the exit status. An upload runs the event
// loop of the QCoreApplication that must exist; SIGINT, SIGTERM and SIGHUP end it with the rows
// gathered so far and the status 130, 143 or 129.
int runWithoutWindow(const CommandLineRequest &request);

// The rows of `skyloft upload`, sorted by remote name and then in the order the pairs ended.
// TSV: remote, file, link, state, tab-separated, with tab, backslash, line feed and carriage
// return written \t, \\, \n and \r. JSON: one array of objects, as `skyloft historial` writes.
QString formatRows(QList<HistoryEntry> rows, CommandLineRequest::Format format);

} // namespace skyloft
