// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace skyloft {

// The manual page and the shell completion, written at build time from the commands' tables
// (CommandTable), so that they say what --help says.
namespace CommandDocs {

// skyloft(1), in roff with the man macros, UTF-8.
QString manPage();

// A bash completion script for `skyloft`: commands, each command's options, the values of
// --format and --to (services, and the remotes `skyloft remotos` lists when it can), and paths.
QString bashCompletion();

} // namespace CommandDocs
} // namespace skyloft
