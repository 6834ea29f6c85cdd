// SPDX-License-Identifier: MIT
#include "FakeRclone.h"
#include "cli/CommandDocs.h"
#include "cli/CommandLine.h"
#include "cli/CommandTable.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace skyloft;
using skyloft::test::writeFile;

namespace {

// Runs `script` with bash; returns its standard output, or a failure note with its errors.
QString bash(const QString &script)
{
    QProcess shell;
    shell.start("bash", {"-c", script});
    if (!shell.waitForFinished() || shell.exitCode() != 0)
        return "bash failed: " + QString::fromUtf8(shell.readAllStandardError());
    return QString::fromUtf8(shell.readAllStandardOutput());
}

} // namespace

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

    // The page man shows: no warning from groff, and every command's options in it.
    void theManualPageReadsCleanly()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("skyloft.1");
        QVERIFY(writeFile(path, CommandDocs::manPage().toUtf8()));
        QProcess man;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("MANWIDTH", "80");
        environment.insert("MANROFFSEQ", "");
        man.setProcessEnvironment(environment);
        man.start("man", {"--warnings", "-E", "UTF-8", "-l", path});
        QVERIFY(man.waitForFinished());
        QCOMPARE(QString::fromUtf8(man.readAllStandardError()), QString());
        QString shown = QString::fromUtf8(man.readAllStandardOutput());
        shown.replace(QChar(0x2010), '-').replace(QChar(0x2212), '-');
        QVERIFY2(shown.startsWith("SKYLOFT(1)"), qPrintable(shown));
        shown = shown.simplified();
        for (const Command &command : CommandTable::commands()) {
            QVERIFY(shown.contains("skyloft " + command.name));
            for (const CommandOption &option : command.options)
                QVERIFY2(shown.contains(option.name +
                                        (option.takesValue() ? ' ' + option.valueName : "") + ' ' +
                                        option.help),
                         qPrintable(option.help));
            for (const CommandTerm &term : command.exitStatus)
                QVERIFY2(shown.contains(term.term + ' ' + term.text), qPrintable(term.text));
        }
    }

    // Completion as bash runs it: the words typed so far, the candidates offered (one a line).
    void completionOffersWhatEachPlaceTakes_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QStringList>("offered");
        QTest::newRow("the commands first")
            << QStringList{""} << QStringList{"upload", "historial", "remotos"};
        QTest::newRow("a command's options")
            << QStringList{"upload", "--"}
            << QStringList{"--to",       "--format", "--rapido", "--procesos",
                           "--progreso", "--limite", "--caduca", "--help"};
        QTest::newRow("services, quoted, and the remotes skyloft lists")
            << QStringList{"upload", "--to", ""}
            << QStringList{"Google\\ Drive", "Dropbox", "Mega", "1Fichier", "fotos\\ s3"};
        QTest::newRow("a service begun in quotes")
            << QStringList{"upload", "--to", "\"Go"} << QStringList{"Google\\ Drive"};
        QTest::newRow("a value after =")
            << QStringList{"historial", "--format", "=", "j"} << QStringList{"json"};
        QTest::newRow("a date is typed, not completed")
            << QStringList{"historial", "--desde", ""} << QStringList{};
        QTest::newRow("after -- only paths") << QStringList{"upload", "--", "--t"} << QStringList{};
    }
    void completionOffersWhatEachPlaceTakes()
    {
        QFETCH(QStringList, words);
        QFETCH(QStringList, offered);
        QTemporaryDir dir;
        const QString script = dir.filePath("skyloft-completion");
        QVERIFY(writeFile(script, CommandDocs::bashCompletion().toUtf8()));
        // A skyloft that lists one remote after its header line.
        const QString program = dir.filePath("skyloft");
        QVERIFY(writeFile(program, "#!/bin/sh\n[ \"$1\" = remotos ] && "
                                   "printf 'remoto\\ttipo\\nfotos s3\\ts3\\n'\n"));
        QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner));
        QStringList quoted{"'" + program + "'"};
        for (const QString &word : words)
            quoted << "'" + word + "'";
        const QString run = QStringLiteral(
            "source '%1'; compopt() { :; }; COMP_WORDS=(%2); COMP_CWORD=%3; _skyloft; "
            "printf '%s\\n' \"${COMPREPLY[@]}\"");
        QCOMPARE(bash(run.arg(script, quoted.join(' ')).arg(words.size()))
                     .split('\n', Qt::SkipEmptyParts),
                 offered);
    }
};

QTEST_GUILESS_MAIN(TestCommandDocs)
#include "test_command_docs.moc"
