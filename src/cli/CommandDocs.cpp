// SPDX-License-Identifier: MIT
#include "cli/CommandDocs.h"

#include "cli/CommandTable.h"
#include "core/ServiceCatalog.h"

#include <QStringList>

namespace skyloft {

namespace {

// Text as roff prints it: backslashes and minus signs escaped, no line read as a request.
QString roff(const QString &text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\e"));
    escaped.replace(QLatin1Char('-'), QStringLiteral("\\-"));
    if (escaped.startsWith(QLatin1Char('.')) || escaped.startsWith(QLatin1Char('\'')))
        escaped.prepend(QStringLiteral("\\&"));
    return escaped;
}

QString bold(const QString &text)
{
    return QStringLiteral("\\fB") + roff(text) + QStringLiteral("\\fR");
}

QString italic(const QString &text)
{
    return QStringLiteral("\\fI") + roff(text) + QStringLiteral("\\fR");
}

// A usage line that breaks only between groups: spaces inside brackets do not stretch or break.
QString synopsis(const QString &usage)
{
    QString out;
    int depth = 0;
    for (const QChar c : usage) {
        depth += c == QLatin1Char('[') ? 1 : c == QLatin1Char(']') ? -1 : 0;
        out += c == QLatin1Char(' ') && depth > 0 ? QStringLiteral("\\ ") : roff(QString(c));
    }
    return out;
}

// Paragraphs split by blank lines; lines that start with two spaces are examples, kept as typed.
QString manParagraphs(const QString &text)
{
    QString out;
    for (const QString &paragraph : text.split(QStringLiteral("\n\n"))) {
        out += QStringLiteral(".PP\n");
        bool example = false;
        for (const QString &line : paragraph.split(QLatin1Char('\n'))) {
            const bool indented = line.startsWith(QLatin1String("  "));
            if (indented != example)
                out += indented ? QStringLiteral(".RS\n.nf\n") : QStringLiteral(".fi\n.RE\n");
            example = indented;
            out += roff(indented ? line.trimmed() : line) + QLatin1Char('\n');
        }
        if (example)
            out += QStringLiteral(".fi\n.RE\n");
    }
    return out;
}

QString manTerms(const QList<CommandTerm> &terms)
{
    QString out;
    for (const CommandTerm &term : terms)
        out += QStringLiteral(".TP\n") + bold(term.term) + QLatin1Char('\n') + roff(term.text) +
               QLatin1Char('\n');
    return out;
}

QString manOptions(const Command &command)
{
    QString out;
    for (const CommandOption &option : command.options) {
        out += QStringLiteral(".TP\n");
        if (!option.shortName.isEmpty())
            out += bold(option.shortName) + QStringLiteral(", ");
        out += bold(option.name);
        if (option.takesValue())
            out += QLatin1Char(' ') + italic(option.valueName);
        out += QLatin1Char('\n') + roff(option.help) + QLatin1Char('\n');
    }
    return out;
}

// A bold run-in heading inside a command's section.
QString manHeading(const QString &text)
{
    return QStringLiteral(".PP\n") + bold(text) + QLatin1Char('\n');
}

QString shellQuoted(const QString &word)
{
    QString quoted = word;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

// One command's branch of the completion: what the value of each of its options offers, and
// the options it takes.
QString completionCase(const Command &command)
{
    QString values;
    QStringList words;
    for (const CommandOption &option : command.options) {
        if (!option.shortName.isEmpty())
            words << option.shortName;
        words << option.name;
        if (!option.takesValue())
            continue;
        values += QStringLiteral("        ") + option.name + QStringLiteral(")");
        switch (option.completion) {
        case ValueCompletion::Nothing:
            values += QStringLiteral(" compopt +o default 2>/dev/null;");
            break;
        case ValueCompletion::Choices: {
            QStringList quoted;
            for (const QString &choice : option.choices)
                quoted << shellQuoted(choice);
            values += QStringLiteral(" _skyloft_offer < <(printf '%s\\n' ") +
                      quoted.join(QLatin1Char(' ')) + QStringLiteral(");");
            break;
        }
        case ValueCompletion::Services:
            values += QStringLiteral(" _skyloft_services;");
            break;
        case ValueCompletion::Files:
            break;
        }
        values += QStringLiteral(" return 0 ;;\n");
    }
    QString out = QStringLiteral("    ") +
                  (command.name.isEmpty() ? QStringLiteral("*") : command.name) +
                  QStringLiteral(")\n");
    if (!values.isEmpty())
        out +=
            QStringLiteral("        case $prev in\n") + values + QStringLiteral("        esac\n");
    // Paths come from readline's own file name completion (-o default), which quotes them.
    if (command.operandName.isEmpty())
        out += QStringLiteral("        compopt +o default 2>/dev/null\n");
    return out + QStringLiteral("        options='") + words.join(QLatin1Char(' ')) +
           QStringLiteral("'\n        ;;\n");
}

} // namespace

namespace CommandDocs {

QString manPage()
{
    const QList<Command> &commands = CommandTable::commands();
    const Command &window = commands.first();
    QString summary = window.summary;
    summary.chop(1);
    summary[0] = summary.at(0).toLower();

    QString page = QStringLiteral(".\\\" -*- coding: utf-8 -*-\n"
                                  ".TH SKYLOFT 1 \"\" \"Skyloft " SKYLOFT_VERSION
                                  "\" \"Órdenes de usuario\"\n.nh\n.ad l\n"
                                  ".SH NOMBRE\nskyloft \\- ") +
                   roff(summary) + QStringLiteral("\n.SH SINOPSIS\n");
    for (const Command &command : commands) {
        page += bold(QStringLiteral("skyloft") +
                     (command.name.isEmpty() ? QString() : QLatin1Char(' ') + command.name)) +
                QLatin1Char(' ') +
                synopsis(command.usage.mid(command.name.isEmpty() ? 0 : command.name.size() + 1)) +
                QStringLiteral("\n.br\n");
    }
    page += QStringLiteral(".SH DESCRIPCIÓN\n") + manParagraphs(window.summary) +
            manParagraphs(window.description) +
            manTerms({{window.operandName, window.operandHelp}}) +
            QStringLiteral(".SH OPCIONES\n") + manOptions(window) + QStringLiteral(".SH ÓRDENES\n");
    for (const Command &command : commands.mid(1)) {
        page += QStringLiteral(".SS ") + roff(QStringLiteral("skyloft ") + command.name) +
                QLatin1Char('\n') + manParagraphs(command.description);
        if (!command.operandName.isEmpty())
            page += manTerms({{command.operandName, command.operandHelp}});
        page += manHeading(QStringLiteral("Opciones")) + manOptions(command);
        if (!command.output.isEmpty())
            page += manHeading(QStringLiteral("Columnas de la salida (TSV)")) +
                    manTerms(command.output);
        page += manHeading(QStringLiteral("Estado de salida")) + manTerms(command.exitStatus);
    }
    page += QStringLiteral(".SH \"ESTADO DE SALIDA\"\n") + manTerms(window.exitStatus) +
            QStringLiteral(".SH ENTORNO\n") + manTerms(CommandTable::environment()) +
            QStringLiteral(".SH ARCHIVOS\n") + manTerms(CommandTable::files()) +
            QStringLiteral(".SH \"VÉASE TAMBIÉN\"\n") + bold(QStringLiteral("rclone")) +
            QStringLiteral("(1)\n");
    return page;
}

QString bashCompletion()
{
    QStringList names;
    QString cases;
    for (const Command &command : CommandTable::commands().mid(1)) {
        names << command.name;
        cases += completionCase(command);
    }
    cases += completionCase(CommandTable::commands().first());
    QStringList services;
    for (const QString &service : ServiceCatalog::serviciosOrden())
        services << shellQuoted(service);

    QString script = QStringLiteral(
        R"sh(# bash completion for skyloft, written from its option tables when it is built.

# The lines of standard input that start like the word being completed, quoted for the shell.
_skyloft_offer()
{
    local word=${cur#[\"\']} candidate
    compopt +o default 2>/dev/null
    while IFS= read -r candidate; do
        [[ -n $candidate && $candidate == "$word"* ]] &&
            COMPREPLY+=("$(printf '%q' "$candidate")")
    done
    return 0
}

# The services, then the remotes that `skyloft remotos` lists (first field; nothing when it
# cannot list them).
_skyloft_services()
{
    local remote _
    _skyloft_offer < <(
        printf '%s\n' @SERVICES@
        "${COMP_WORDS[0]/#\~/$HOME}" remotos </dev/null 2>/dev/null |
            while IFS=$'\t' read -r remote _; do
                [[ $remote == remoto ]] || printf '%s\n' "$remote"
            done
    )
}

_skyloft()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    local command= options i
    COMPREPLY=()
    # --name=value reaches completion as three words: --name, = and value.
    if [[ $cur == = ]]; then
        cur=
    elif [[ $prev == = ]]; then
        prev=${COMP_WORDS[COMP_CWORD-2]}
    fi
    if ((COMP_CWORD > 1)); then
        case ${COMP_WORDS[1]} in
        @PATTERN@) command=${COMP_WORDS[1]} ;;
        esac
    fi
    # After -- every word is a path.
    for ((i = 1; i < COMP_CWORD; i++)); do
        [[ ${COMP_WORDS[i]} == -- ]] && return 0
    done
    case $command in
@CASES@    esac
    if [[ $cur == -* ]]; then
        compopt +o default 2>/dev/null
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
    elif ((COMP_CWORD == 1)); then
        COMPREPLY=($(compgen -W '@COMMANDS@' -- "$cur"))
    fi
    return 0
}
complete -o default -F _skyloft skyloft
)sh");
    script.replace(QStringLiteral("@SERVICES@"), services.join(QLatin1Char(' ')));
    script.replace(QStringLiteral("@PATTERN@"), names.join(QLatin1Char('|')));
    script.replace(QStringLiteral("@COMMANDS@"), names.join(QLatin1Char(' ')));
    script.replace(QStringLiteral("@CASES@"), cases);
    return script;
}

} // namespace CommandDocs
} // namespace skyloft
