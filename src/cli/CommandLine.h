// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

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
        UsageError
    };
    Kind kind = Kind::Window;
    QStringList paths;    // files and folders to queue
    QStringList services; // display names given with --to
    QString message;      // help text or usage error
    bool rapido = false;  // --rapido: "Subida rápida", one rclone rcd for the whole upload
    bool json = false;    // historial --format json (else tsv)
    QDateTime since;      // historial --desde; invalid for the whole history
};

// Reads Skyloft's arguments (the program name first, as QCoreApplication::arguments() gives).
CommandLineRequest parseCommandLine(const QStringList &arguments);

// Whether these arguments open the window; the others run without a display.
bool needsWindow(int argc, char **argv);

// Runs a request that needs no window and returns the exit status. An upload runs the event
// loop of the QCoreApplication that must exist.
int runWithoutWindow(const CommandLineRequest &request);

} // namespace skyloft
