// SPDX-License-Identifier: MIT
#include "cli/CommandLine.h"
#include "cli/CommandTable.h"

#include <QTest>

using namespace skyloft;

class TestCommandDocs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // `skyloft NAME --help` is that command's own page: every option it parses, its output and its
    // exit statuses, and none of another command's options.
    void eachCommandExplainsItself()
    {
        QStringList pages;
        for (const Command &command : CommandTable::commands()) {
            QStringList arguments{QStringLiteral("skyloft")};
            if (!command.name.isEmpty())
                arguments << command.name;
            const CommandLineRequest request = parseCommandLine(arguments << "--help");
            QCOMPARE(request.kind, CommandLineRequest::Kind::Help);
            const QString &page = request.message;
            QVERIFY2(page.startsWith("Uso: skyloft " + command.usage.left(20)), qPrintable(page));
            QStringList described;
            for (const CommandOption &option : command.options)
                described << option.name + (option.takesValue() ? ' ' + option.valueName : "");
            for (const CommandTerm &term : command.output + command.exitStatus)
                described << "  " + term.term + "  ";
            for (const QString &text : described)
                QVERIFY2(page.contains(text), qPrintable(command.name + ": " + text));
            // `skyloft --help` shows every command's usage line.
            for (const Command &other : CommandTable::commands()) {
                for (const CommandOption &option : other.options) {
                    if (!command.name.isEmpty() && !CommandTable::option(command, option.name))
                        QVERIFY2(!page.contains(option.name), qPrintable(option.name));
                }
            }
            for (const QString &line : page.split('\n'))
                QVERIFY2(line.size() <= 80, qPrintable(line));
            pages << page;
        }
        // A usage error shows the page of the command that was misused.
        const CommandLineRequest misused =
            parseCommandLine({"skyloft", "historial", "--desde", "ayer"});
        QCOMPARE(misused.kind, CommandLineRequest::Kind::UsageError);
        QVERIFY(misused.message.endsWith(pages.at(2)));
    }
};

QTEST_GUILESS_MAIN(TestCommandDocs)
#include "test_command_docs.moc"
