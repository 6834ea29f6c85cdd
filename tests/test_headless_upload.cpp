// SPDX-License-Identifier: MIT
#include "FakeRclone.h"
#include "RunSkyloft.h"
#include "TestHelpers.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <csignal>

using namespace skyloft;
using skyloft::test::FakeRclone;
using skyloft::test::kDriveAndDropbox;
using skyloft::test::runSkyloft;
using skyloft::test::SkyloftRun;
using skyloft::test::writeFile;

class TestHeadlessUpload : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void upload_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<QString>("linkHandler"); // the answer of `rclone link`
        QTest::addColumn<int>("exitCode");
        // The last link lines; with status 2 the first error lines.
        QTest::addColumn<QStringList>("lastLines");

        const QString answer = QStringLiteral("echo \"https://links.example/$4\"");
        QTest::newRow("links of every copy after the diagnostics: status 0")
            << QStringList{"upload", "--to", "Dropbox", "carpeta", "--to", "Google Drive", "b.txt"}
            << kDriveAndDropbox << answer << 0
            << QStringList{"drive\ta.txt\thttps://links.example/drive:/a.txt\tsubido",
                           "drive\tb.txt\thttps://links.example/drive:/b.txt\tsubido",
                           "dropbox\ta.txt\thttps://links.example/dropbox:/a.txt\tsubido",
                           "dropbox\tb.txt\thttps://links.example/dropbox:/b.txt\tsubido"};
        QTest::newRow("an empty link: status 1")
            << QStringList{"upload", "--to", "Google Drive", "--to", "Dropbox", "b.txt"}
            << kDriveAndDropbox << QStringLiteral("[ \"$4\" = dropbox:/b.txt ] || %1").arg(answer)
            << 1
            << QStringList{"drive\tb.txt\thttps://links.example/drive:/b.txt\tsubido",
                           "dropbox\tb.txt\t\tenlace fallido"};
        QTest::newRow("a copy that fails keeps no link: status 1")
            << QStringList{"upload", "--to", "Dropbox", "b.txt", "c\td.txt"} << kDriveAndDropbox
            << answer << 1
            << QStringList{"dropbox\tb.txt\thttps://links.example/dropbox:/b.txt\tsubido",
                           "dropbox\tc\\td.txt\t\tcopia fallida"};
        QTest::newRow("a selected service not authorized: status 2, nothing runs")
            << QStringList{"upload", "--to", "Google Drive", "--to", "Mega", "b.txt"}
            << kDriveAndDropbox << answer << 2
            << QStringList{"🚫 Servicio no autorizado",
                           "Tiene que autorizar al menos uno de los servicios seleccionados "
                           "para subir archivos."};
        QTest::newRow("no configuration file: nothing is authorized")
            << QStringList{"upload", "--to", "Dropbox", "b.txt"} << QByteArray() << answer << 2
            << QStringList{"🚫 Servicio no autorizado",
                           "Tiene que autorizar al menos uno de los servicios seleccionados "
                           "para subir archivos."};
        QTest::newRow("the remote that serves a service stands for it, once")
            << QStringList{"upload", "--to", "mi drive", "--to", "Google Drive", "b.txt"}
            << QByteArray(kDriveAndDropbox).replace("[drive]", "[mi drive]") << answer << 0
            << QStringList{"mi drive\tb.txt\thttps://links.example/mi drive:/b.txt\tsubido"};
        QTest::newRow("another remote that can link, by its name, after the services")
            << QStringList{"upload", "--to", "nube casa", "--to", "Dropbox", "b.txt"}
            << kDriveAndDropbox +
                   "\n[s3]\ntype = s3\n\n[nube casa]\ntype = alias\nremote = s3:caja\n"
            << answer << 0
            << QStringList{"dropbox\tb.txt\thttps://links.example/dropbox:/b.txt\tsubido",
                           "nube casa\tb.txt\thttps://links.example/nube casa:/b.txt\tsubido"};
        QTest::newRow("a remote without public links: usage error")
            << QStringList{"upload", "--to", "disco", "b.txt"}
            << kDriveAndDropbox + "\n[disco]\ntype = local\n"
            << answer << 2
            << QStringList{"El remoto \"disco\" no puede dar enlaces públicos. Servicios: Google "
                           "Drive, Dropbox, Mega, 1Fichier; otros remotos con enlaces: ninguno "
                           "(skyloft remotos los lista)."};
        QTest::newRow("unknown service: usage error")
            << QStringList{"upload", "--to", "OneDrive", "b.txt"} << kDriveAndDropbox << answer << 2
            << QStringList{};
        QTest::newRow("no paths: usage error") << QStringList{"upload", "--to", "Dropbox"}
                                               << kDriveAndDropbox << answer << 2 << QStringList{};
        QTest::newRow("no service: usage error")
            << QStringList{"upload", "b.txt"} << kDriveAndDropbox << answer << 2 << QStringList{};
        QTest::newRow("an empty path would be the current folder: refused")
            << QStringList{"upload", "--to", "Dropbox", ""} << kDriveAndDropbox << answer << 2
            << QStringList{"Una RUTA está vacía (\"\"); no se sube nada."};
        QTest::newRow("the option parser speaks Spanish")
            << QStringList{"upload", "--to", "Dropbox", "--bogus", "b.txt"} << kDriveAndDropbox
            << answer << 2 << QStringList{"Opción desconocida: --bogus"};
        QTest::newRow("a limit that is no rate")
            << QStringList{"upload", "--limite", "rápido", "--to", "Dropbox", "b.txt"}
            << kDriveAndDropbox << answer << 2
            << QStringList{"--limite no es una velocidad: \"rápido\". Por ejemplo: 5M (5 MB/s), "
                           "500K, off."};
        QTest::newRow("an expiry that is no duration")
            << QStringList{"upload", "--caduca", "7 lunas", "--to", "Dropbox", "b.txt"}
            << kDriveAndDropbox << answer << 2
            << QStringList{"--caduca no es una duración: \"7 lunas\". Por ejemplo: 7d, 12h, 2w, "
                           "off."};
        QTest::newRow("a missing value")
            << QStringList{"upload", "b.txt", "--to"} << kDriveAndDropbox << answer << 2
            << QStringList{"Falta el valor de --to."};
    }

    void upload()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, config);
        QFETCH(QString, linkHandler);
        QFETCH(int, exitCode);
        QFETCH(QStringList, lastLines);

        FakeRclone fake;
        QVERIFY(fake.isValid());
        fake.setHandler("case \"$3\" in\n"
                        "copy) [ -f \"$4\" ] || exit 3; echo 'Transferred: 1 B / 1 B, 100%' ;;\n"
                        "link) " +
                        linkHandler + " ;;\nesac\n");
        if (!config.isEmpty())
            QVERIFY(writeFile(fake.configPath(), config));
        const QString work = fake.home() + "/trabajo";
        QVERIFY(writeFile(work + "/carpeta/a.txt", "a"));
        QVERIFY(writeFile(work + "/b.txt", "b"));

        const SkyloftRun outcome = runSkyloft(arguments, fake.home(), fake.resourceDir(), work);
        QVERIFY2(outcome.exitCode == exitCode, qPrintable(outcome.describe()));
        if (exitCode == 2) {
            // rclone may have been asked what a remote can do, but nothing was copied.
            for (const FakeRclone::Call &call : fake.calls())
                QCOMPARE(call.arguments.value(2), QStringLiteral("backend"));
            QCOMPARE(outcome.err.split('\n').mid(0, lastLines.size()), lastLines);
            return;
        }
        const QStringList &out = outcome.out;
        QVERIFY(out.size() > lastLines.size());
        QCOMPARE(out.mid(out.size() - lastLines.size()), lastLines);
        QCOMPARE(out.at(out.size() - lastLines.size() - 1),
                 QStringLiteral("✅ Todas las subidas completadas"));
        // Every pair is in the history too, failed ones included.
        QStringList pairs;
        for (const QString &line : lastLines) {
            const QStringList f = line.split('\t');
            pairs << f.at(1) + '|' + f.at(3) + '|' + f.at(2);
        }
        QStringList recorded;
        const SkyloftRun history = runSkyloft({"historial"}, fake.home());
        for (const QString &line : history.out.mid(1)) {
            const QStringList f = line.split('\t');
            recorded << f.at(2) + '|' + f.at(3) + '|' + f.at(4);
        }
        QCOMPARE(skyloft::test::sorted(recorded), skyloft::test::sorted(pairs));
        // The same lines as on the screen, paths made absolute.
        QVERIFY(out.contains("✅ Dropbox autorizado con token/API."));
        QVERIFY(out.contains("📄 Archivo individual agregado: " + work + "/b.txt"));
    }

    // A failed pair says why, in the words of the failure table, beside what rclone printed.
    void jsonRows()
    {
        FakeRclone fake;
        fake.setHandler("case \"$3:$4\" in\n"
                        "link:*b.txt) echo \"2026/12/05 17:06:12 Failed to link: Local file system "
                        "at /x doesn't support public links\" >&2; exit 1 ;;\n"
                        "link:*) echo \"https://l/$4\" ;;\n"
                        "esac\n");
        QVERIFY(writeFile(fake.configPath(), kDriveAndDropbox));
        QVERIFY(writeFile(fake.home() + "/a.txt", "a"));
        QVERIFY(writeFile(fake.home() + "/b.txt", "b"));
        const SkyloftRun outcome =
            runSkyloft({"upload", "--format", "json", "--to", "Dropbox", "a.txt", "b.txt"},
                       fake.home(), fake.resourceDir(), fake.home());
        QCOMPARE(outcome.exitCode, 1);
        const QString all = outcome.out.join('\n');
        const QJsonDocument rows =
            QJsonDocument::fromJson(all.mid(all.indexOf("\n[") + 1).toUtf8());
        QCOMPARE(rows.array().size(), 2);
        const QJsonObject row = rows.array().first().toObject();
        QCOMPARE(row.value("remote").toString(), QStringLiteral("dropbox"));
        QCOMPARE(row.value("file").toString(), QStringLiteral("a.txt"));
        QCOMPARE(row.value("link").toString(), QStringLiteral("https://l/dropbox:/a.txt"));
        QCOMPARE(row.value("state").toString(), QStringLiteral("subido"));
        QCOMPARE(row.value("cause").toString(), QString());
        const QJsonObject failed = rows.array().last().toObject();
        QCOMPARE(failed.value("state").toString(), QStringLiteral("enlace fallido"));
        QCOMPARE(failed.value("cause").toString(), QStringLiteral("sin_enlace_publico"));
        QVERIFY(failed.value("rclone").toString().endsWith("doesn't support public links"));
        // The history says the same of each pair, in the same words.
        QCOMPARE(row.value("local_path").toString(), fake.home() + "/a.txt");
        QCOMPARE(row.value("size").toInteger(), 1);
        const SkyloftRun history = runSkyloft({"historial", "--format", "json"}, fake.home());
        QCOMPARE(QJsonDocument::fromJson(history.out.join('\n').toUtf8()).array(), rows.array());
    }

    // A limit reaches every copy and an expiry every link, as the user wrote them; a service
    // that refuses the expiry still gives its link, and the log says it does not expire.
    void limitAndExpiry()
    {
        FakeRclone fake;
        fake.setHandler("case \"$3:$4:$5\" in\n"
                        "link:dropbox*:--expire) echo 'expiry not supported' >&2; exit 1 ;;\n"
                        "link:*) echo \"https://l/$4\" ;;\n"
                        "esac\n");
        QVERIFY(writeFile(fake.configPath(), kDriveAndDropbox));
        QVERIFY(writeFile(fake.home() + "/a.txt", "a"));
        const SkyloftRun outcome =
            runSkyloft({"upload", "--procesos", "--limite", "1,5 MB/s", "--caduca", "2 semanas",
                        "--to", "Dropbox", "--to", "Google Drive", "a.txt"},
                       fake.home(), fake.resourceDir(), fake.home());
        QCOMPARE(outcome.exitCode, 0);
        QCOMPARE(outcome.out.mid(outcome.out.size() - 2),
                 (QStringList{"drive\ta.txt\thttps://l/drive:/a.txt\tsubido",
                              "dropbox\ta.txt\thttps://l/dropbox:/a.txt\tsubido"}));
        QCOMPARE(outcome.out.count("⚠️ Dropbox no admite caducidad en sus enlaces: el de a.txt "
                                   "no caduca."),
                 1);
        QStringList asked;
        for (const FakeRclone::Call &call : fake.calls())
            asked << call.arguments.mid(2).join(' ');
        QCOMPARE(asked, (QStringList{"copy " + fake.home() +
                                         "/a.txt drive:/ --progress "
                                         "--stats=1s --bwlimit 1.5M",
                                     "link drive:/a.txt --expire 2w",
                                     "copy " + fake.home() +
                                         "/a.txt dropbox:/ --progress "
                                         "--stats=1s --bwlimit 1.5M",
                                     "link dropbox:/a.txt --expire 2w", "link dropbox:/a.txt"}));
    }

    // With --progreso each service's progress goes to standard error, also into a pipe, while
    // the copy lasts; the service not reached yet waits.
    void progressLinesOnStandardError()
    {
        FakeRclone fake;
        fake.setHandler("case \"$3\" in\n"
                        "copy) while [ ! -f \"$HOME/go\" ]; do\n"
                        "    echo 'Transferred: 1 B / 2 B, 50%, 1 B/s, ETA 1s'; nap 0.1; done ;;\n"
                        "link) echo l ;;\n"
                        "esac\n");
        QVERIFY(writeFile(fake.configPath(), kDriveAndDropbox));
        QVERIFY(writeFile(fake.home() + "/a.txt", "ab"));
        QProcess skyloft;
        skyloft::test::setUpSkyloft(skyloft, fake.home(), fake.resourceDir(), fake.home());
        skyloft.setArguments({"upload", "--procesos", "--progreso", "--to", "Dropbox", "--to",
                              "Google Drive", "a.txt"});
        skyloft.start();
        const QString moving = "Google Drive: 0 de 1 archivo · 1 B de 2 B · 1 B/s · quedan 1 s\n"
                               "Dropbox: En espera\n";
        QString err;
        QTRY_VERIFY_WITH_TIMEOUT((err += skyloft.readAllStandardError()).contains(moving), 30000);
        QVERIFY(writeFile(fake.home() + "/go", ""));
        QVERIFY(skyloft.waitForFinished(30000));
        QCOMPARE(skyloft.exitCode(), 0);
    }

    // A signal to skyloft alone ends its rclone child and gives 128 + the signal; every pair gets
    // its row, printed and in the history: the one whose link was under way keeps its copy as
    // enlace fallido, the one not started is cancelado. SIGKILL leaves no way to clean up, and
    // the child dies with it anyway.
    void signalsEndTheRunAndItsChildren_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGHUP") << SIGHUP;
        QTest::newRow("SIGKILL") << SIGKILL;
    }

    void signalsEndTheRunAndItsChildren()
    {
        QFETCH(int, signal);
        FakeRclone fake;
        fake.setHandler("case \"$3:$4\" in link:*b.txt) nap 30 ;; link:*) echo l ;; esac\n");
        QVERIFY(writeFile(fake.configPath(), kDriveAndDropbox));
        for (const char *name : {"a.txt", "b.txt", "c.txt"})
            QVERIFY(writeFile(fake.home() + "/" + name, name));
        QProcess skyloft;
        skyloft::test::setUpSkyloft(skyloft, fake.home(), fake.resourceDir(), fake.home());
        skyloft.setArguments(
            {"upload", "--procesos", "--to", "Dropbox", "a.txt", "b.txt", "c.txt"});
        skyloft.start();
        // Copy a, link a, copy b, link b: the link of b waits.
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(fake.callDir(4) + "/stdin"), 30000);
        const pid_t child = pid_t(fake.pidOf(4));
        QVERIFY(child > 0);
        ::kill(pid_t(skyloft.processId()), signal);
        QVERIFY(skyloft.waitForFinished(30000));
        QTRY_COMPARE(::kill(child, 0), -1);
        if (signal == SIGKILL) {
            QCOMPARE(skyloft.exitStatus(), QProcess::CrashExit);
            return;
        }
        QCOMPARE(skyloft.exitStatus(), QProcess::NormalExit);
        QCOMPARE(skyloft.exitCode(), 128 + signal);
        const QStringList out = QString::fromUtf8(skyloft.readAllStandardOutput()).split('\n');
        const QStringList rows{"dropbox\ta.txt\tl\tsubido", "dropbox\tb.txt\t\tenlace fallido",
                               "dropbox\tc.txt\t\tcancelado"};
        QCOMPARE(out.mid(out.size() - 4, 3), rows);
        QVERIFY(!out.contains("✅ Todas las subidas completadas"));
        QCOMPARE(fake.callCount(), 4);
        QStringList recorded;
        for (const QString &line : runSkyloft({"historial"}, fake.home()).out.mid(1))
            recorded << line.section('\t', 2, 3);
        QCOMPARE(skyloft::test::sorted(recorded),
                 (QStringList{"a.txt\tsubido", "b.txt\tenlace fallido", "c.txt\tcancelado"}));
    }
};

QTEST_GUILESS_MAIN(TestHeadlessUpload)
#include "test_headless_upload.moc"
