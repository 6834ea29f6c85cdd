// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace skyloft {

// What shell completion offers for an option's value.
enum class ValueCompletion
{
    Nothing,  // free text (a date, a number)
    Choices,  // the option's `choices`
    Services, // the catalog's display names and the remotes `skyloft remotos` lists
    Files
};

// One option of a command. Parsing, `--help`, the man page and shell completion all read it.
struct CommandOption
{
    QString name;      // "--to"
    QString shortName; // "-h"; empty when there is none
    QString valueName; // "SERVICIO"; empty for a switch
    QString help;      // Spanish, one paragraph
    ValueCompletion completion = ValueCompletion::Nothing;
    QStringList choices = {};

    bool takesValue() const { return !valueName.isEmpty(); }
};

// A term and what it means: an output column, an exit status, an environment variable.
struct CommandTerm
{
    QString term;
    QString text;
};

// One command of `skyloft`. The one with an empty name is `skyloft` alone, which opens the window.
struct Command
{
    QString name;
    QString usage;       // what follows "skyloft" in the usage line
    QString summary;     // one line, for the list of commands
    QString description; // paragraphs separated by blank lines
    QString operandName; // "RUTA"; empty when the command takes none
    QString operandHelp;
    QList<CommandOption> options;
    QList<CommandTerm> output; // columns, in order
    QList<CommandTerm> exitStatus;
};

namespace CommandTable {

// `skyloft` alone first, then the commands in the order help lists them.
const QList<Command> &commands();
// The command named `name`, or `skyloft` alone when there is none of that name.
const Command &command(const QString &name);
bool isCommand(const QString &name);
// The option of `command` written `word` ("--to", "-h"), or null.
const CommandOption *option(const Command &command, const QString &word);
// Variables of the environment that change what Skyloft does.
const QList<CommandTerm> &environment();
// Files Skyloft reads and writes.
const QList<CommandTerm> &files();

// `skyloft --help` for `skyloft` alone (every command in short), `skyloft NAME --help` for the
// others (that command in full), wrapped at 80 columns.
QString helpText(const Command &command);

} // namespace CommandTable
} // namespace skyloft
