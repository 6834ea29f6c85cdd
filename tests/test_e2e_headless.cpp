// SPDX-License-Identifier: MIT
// End to end inside tools/sandbox: the built `skyloft upload` command drives the real rclone
// against the sandbox's S3 server, and every link it prints really downloads its file.
#include "Downloads.h"
#include "FakeRclone.h"
#include "RunSkyloft.h"
#include "TestHelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <algorithm>
#include <csignal>

using skyloft::test::Download;
using skyloft::test::downloadAll;
using skyloft::test::readFile;
using skyloft::test::rcloneChildren;
using skyloft::test::running;
using skyloft::test::runSkyloft;
using skyloft::test::SkyloftRun;
using skyloft::test::sorted;
using skyloft::test::writeFile;

namespace {

const QString kAllDone = QStringLiteral("✅ Todas las subidas completadas");
const QString kQueuedFromFolder = QStringLiteral("📂 Archivo agregado desde carpeta: ");

// The queue in upload order, as the intake announced it.
QStringList queued(const SkyloftRun &run)
{
    QStringList paths;
    for (const QString &line : run.out) {
        if (line.startsWith(kQueuedFromFolder))
            paths << line.mid(kQueuedFromFolder.size());
    }
    return paths;
}

// Everything after the run's last line is a row: remote, file name, link, state.
QList<QStringList> linkLines(const SkyloftRun &run)
{
    QList<QStringList> lines;
    const qsizetype done = run.out.lastIndexOf(kAllDone);
    for (const QString &line : run.out.mid(done < 0 ? run.out.size() : done + 1))
        lines << line.split(QLatin1Char('\t'));
    return lines;
}

// Spaces, both quote characters and letters outside ASCII, numbered so that no two files share
// a name (the run puts every file at the top of the remote).
QString smallFileName(int index)
{
    static const QStringList patterns{
        QStringLiteral("archivo %1.txt"),
        QStringLiteral("cita \"%1\" final.txt"),
        QStringLiteral("l'Ñandú %1 – ü.bin"),
        QStringLiteral("ζωή και Ωμέγα %1"),
        QStringLiteral("mezcla 'simple' y \"doble\" %1 ç.csv"),
    };
    return patterns.at(index % patterns.size()).arg(index, 3, 10, QLatin1Char('0'));
}

// Different bytes for every file, all byte values possible, so a link that served another
// file would not compare equal.
QByteArray smallFileContent(int index)
{
    QRandomGenerator random(quint32(index) * 7919u + 1u);
    QByteArray content = "archivo " + QByteArray::number(index) + '\n';
    const int size = 1 + int(random.bounded(4096u));
    for (int i = 0; i < size; ++i)
        content.append(char(random.bounded(256u)));
    return content;
}

} // namespace

class TestE2eHeadless : public QObject
{
    Q_OBJECT

private:
    const QString m_home = qEnvironmentVariable("SKYLOFT_SANDBOX_HOME");
    QTemporaryDir m_resources;
    QTemporaryDir m_work;

    // One run of smallFilesToTwoServicesOneVanishing.
    void uploadWithOneVanishing(int kFiles, const QStringList &options, int run)
    {
        const QString folder =
            m_work.filePath(QStringLiteral("muchos archivos ") + QTest::currentDataTag());
        QHash<QString, QByteArray> contents;
        QStringList created;
        for (int i = 0; i < kFiles; ++i) {
            // Some in a subfolder: the intake walks folders recursively.
            const QString path =
                folder + (i % 9 == 4 ? QStringLiteral("/sub carpeta ñ/") : QStringLiteral("/")) +
                smallFileName(i);
            contents.insert(smallFileName(i), smallFileContent(run * 1000 + i));
            QVERIFY(writeFile(path, contents.value(smallFileName(i))));
            created << path;
        }

        QString vanished;
        bool removed = false;
        QStringList queuedSoFar;
        // Services given in the other order: the run follows their fixed order.
        const SkyloftRun outcome = runSkyloft(
            QStringList{"upload"} + options +
                QStringList{"--to", "Dropbox", "--to", "Google Drive", folder},
            m_home, m_resources.path(), m_work.path(), [&](const QString &line, QProcess &) {
                if (line.startsWith(kQueuedFromFolder))
                    queuedSoFar << line.mid(kQueuedFromFolder.size());
                // The last file is copied last: long after the run has started.
                if (line.startsWith(QStringLiteral("Iniciando subida para ")) && !removed &&
                    !queuedSoFar.isEmpty()) {
                    vanished = queuedSoFar.last();
                    removed = QFile::remove(vanished);
                }
            });
        QVERIFY2(removed, qPrintable(outcome.describe()));
        QVERIFY2(outcome.exitCode == 1, qPrintable(outcome.describe()));

        const QStringList queue = queued(outcome);
        QCOMPARE(sorted(queue), sorted(created));
        QCOMPARE(queue.last(), vanished);
        QVERIFY2(std::any_of(outcome.out.cbegin(), outcome.out.cend(),
                             [&](const QString &line) {
                                 return line.startsWith("Resultado de 'copy' para Dropbox en "
                                                        "archivo " +
                                                        vanished + ": ");
                             }),
                 qPrintable(outcome.describe()));

        QStringList expected;
        for (const QString &remote : {QStringLiteral("drive"), QStringLiteral("dropbox")}) {
            for (const QString &path : queue.mid(0, kFiles - 1))
                expected << remote + QLatin1Char('\t') + QFileInfo(path).fileName();
        }
        QStringList got;
        QList<QUrl> urls;
        for (const QStringList &fields : linkLines(outcome)) {
            const QString pair = fields.mid(0, 2).join(QLatin1Char('\t'));
            if (fields.size() == 4 && fields.at(1) == QFileInfo(vanished).fileName()) {
                QVERIFY2(fields.at(2).isEmpty(), qPrintable(pair + " has a link"));
                QCOMPARE(fields.at(3), QStringLiteral("copia fallida"));
                continue;
            }
            QCOMPARE(fields.size(), 4);
            QCOMPARE(fields.at(3), QStringLiteral("subido"));
            const QUrl url(fields.at(2));
            // Each link points at its own remote's bucket.
            QCOMPARE(url.port(), qEnvironmentVariableIntValue("SKYLOFT_SANDBOX_S3_PORT"));
            QCOMPARE(url.path(), "/skyloft-" + fields.at(0) + '/' + fields.at(1));
            got << pair;
            urls << url;
        }
        QCOMPARE(got, expected);

        const QList<Download> downloads = downloadAll(urls, 180000);
        for (qsizetype i = 0; i < downloads.size(); ++i) {
            QVERIFY2(downloads.at(i).error.isEmpty(), qPrintable(got.at(i)));
            QVERIFY2(downloads.at(i).body == contents.value(got.at(i).section('\t', 1)),
                     qPrintable(got.at(i) + ": the download differs from the file"));
        }
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(!m_home.isEmpty(), "run this test through tools/sandbox");
        QVERIFY(m_resources.isValid() && m_work.isValid());
        QVERIFY(QFile::link(QStringLiteral(SKYLOFT_REAL_RCLONE),
                            m_resources.filePath(QStringLiteral("rclone"))));
    }

    // Every queued file goes to every service, in queue order within each; the links come out
    // grouped by remote in upload order, and each serves its file byte for byte. A file deleted
    // after it was queued fails its copy and gives no link; the run goes on and the status says
    // so. "Subida rápida" runs several times in a row with new contents each time.
    void smallFilesToTwoServicesOneVanishing_data()
    {
        QTest::addColumn<int>("files");
        QTest::addColumn<int>("runs");
        QTest::addColumn<QStringList>("options");
        QTest::newRow("a process per step") << 20 << 1 << QStringList{QStringLiteral("--procesos")};
        QTest::newRow("subida rápida") << 40 << 5 << QStringList{QStringLiteral("--rapido")};
    }

    void smallFilesToTwoServicesOneVanishing()
    {
        QFETCH(int, files);
        QFETCH(int, runs);
        QFETCH(QStringList, options);
        for (int run = 0; run < runs; ++run) {
            uploadWithOneVanishing(files, options, run);
            if (QTest::currentTestFailed())
                return;
        }
    }
    // Two different files of one name in one run keep distinct links: the later one goes up as
    // "informe (2).txt", and each link serves its own file's bytes, with either engine.
    void sameNameFilesKeepTheirOwnLinks_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::newRow("subida rápida") << QStringLiteral("--rapido");
        QTest::newRow("a process per step") << QStringLiteral("--procesos");
    }

    void sameNameFilesKeepTheirOwnLinks()
    {
        QFETCH(QString, engine);
        const QString first = m_work.filePath(engine + "/uno/informe.txt");
        const QString second = m_work.filePath(engine + "/dos/informe.txt");
        QVERIFY(writeFile(first, "el primero " + engine.toUtf8()));
        QVERIFY(writeFile(second, "el segundo " + engine.toUtf8()));
        const SkyloftRun outcome = runSkyloft({"upload", engine, "--to", "Dropbox", first, second},
                                              m_home, m_resources.path(), m_work.path());
        QVERIFY2(outcome.exitCode == 0, qPrintable(outcome.describe()));
        const QList<QStringList> rows = linkLines(outcome);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows.at(0).value(1), QStringLiteral("informe.txt"));
        QCOMPARE(rows.at(1).value(1), QStringLiteral("informe (2).txt"));
        const QList<Download> downloads =
            downloadAll({QUrl(rows.at(0).value(2)), QUrl(rows.at(1).value(2))}, 60000);
        QCOMPARE(downloads.at(0).body, readFile(first));
        QCOMPARE(downloads.at(1).body, readFile(second));
    }

    // A user's home: rclone's file only in ~/.config/rclone, the four services under remote names
    // of their own (chosen on their tiles), and two more remotes over the sandbox's S3. One file
    // goes to all six and every link serves it; a commented credential is no credential.
    void everyRemoteOfAUsersOwnFile()
    {
        const QString home = m_work.filePath(QStringLiteral("casa"));
        const QHash<QString, QString> renamed{{"drive", "mi drive"},
                                              {"dropbox", "caja dropbox"},
                                              {"mega", "mega personal"},
                                              {"fichier", "uno fichier"}};
        QString config = QString::fromUtf8(readFile(m_home + "/.rclone.conf"));
        QSettings choices(home + "/.config/skyloft/skyloft.conf", QSettings::IniFormat);
        const QHash<QString, QString> services{{"drive", "Google Drive"},
                                               {"dropbox", "Dropbox"},
                                               {"mega", "Mega"},
                                               {"fichier", "1Fichier"}};
        for (auto it = renamed.cbegin(); it != renamed.cend(); ++it) {
            config.replace('[' + it.key() + ']', '[' + it.value() + ']');
            choices.setValue("remotos/" + services.value(it.key()), it.value());
        }
        choices.sync();
        const QString rcloneFile = home + "/.config/rclone/rclone.conf";
        QVERIFY(writeFile(rcloneFile, config.toUtf8()));
        const QByteArray content = smallFileContent(77);
        QVERIFY(writeFile(m_work.filePath("para todos.txt"), content));

        // Only the default places: no RCLONE_CONFIG, XDG_CONFIG_HOME inside that home.
        const QByteArray given = qgetenv("RCLONE_CONFIG");
        const QByteArray xdg = qgetenv("XDG_CONFIG_HOME");
        qunsetenv("RCLONE_CONFIG");
        qputenv("XDG_CONFIG_HOME", (home + "/.config").toUtf8());
        const auto run = [&](const QStringList &arguments) {
            return runSkyloft(arguments, home, m_resources.path(), m_work.path());
        };
        const SkyloftRun remotes = run({"remotos"});
        const SkyloftRun outcome =
            run({"upload", "--to", "nube casa", "--to", "Google Drive", "--to", "archivo", "--to",
                 "Dropbox", "--to", "Mega", "--to", "1Fichier", "para todos.txt"});
        QVERIFY(
            writeFile(rcloneFile,
                      config.replace("skyloft-fichier\nuser", "skyloft-fichier\n# user").toUtf8()));
        const SkyloftRun commented = run({"upload", "--to", "1Fichier", "para todos.txt"});
        qputenv("RCLONE_CONFIG", given);
        qputenv("XDG_CONFIG_HOME", xdg);

        QVERIFY2(remotes.out.contains("mi drive\talias\tsí\tGoogle Drive") &&
                     remotes.out.contains("nube casa\talias\tsí\t") &&
                     remotes.out.contains("s3\ts3\tno\t"),
                 qPrintable(remotes.describe()));
        QVERIFY2(outcome.exitCode == 0, qPrintable(outcome.describe()));
        QStringList order;
        QList<QUrl> urls;
        for (const QStringList &fields : linkLines(outcome)) {
            QCOMPARE(fields.size(), 4);
            QCOMPARE(fields.at(3), QStringLiteral("subido"));
            order << fields.at(0);
            urls << QUrl(fields.at(2));
        }
        QCOMPARE(order, (QStringList{"archivo", "caja dropbox", "mega personal", "mi drive",
                                     "nube casa", "uno fichier"}));
        const QStringList buckets{"archivo", "dropbox", "mega", "drive", "nube-casa", "fichier"};
        const QList<Download> downloads = downloadAll(urls, 180000);
        for (qsizetype i = 0; i < downloads.size(); ++i) {
            QCOMPARE(urls.at(i).path(), "/skyloft-" + buckets.at(i) + "/para todos.txt");
            QVERIFY2(downloads.at(i).error.isEmpty(), qPrintable(order.at(i)));
            QVERIFY2(downloads.at(i).body == content, qPrintable(order.at(i) + " differs"));
        }

        QCOMPARE(commented.exitCode, 2);
        QVERIFY2(commented.out.contains("⚠️ 1Fichier tiene sección pero sin token/API."),
                 qPrintable(commented.describe()));
    }

    // Skyloft killed outright during a fast run takes its rclone rcd along.
    void killedDuringAFastRunLeavesNoRcloneBehind()
    {
        const QString folder = m_work.filePath(QStringLiteral("interrumpida"));
        for (int i = 0; i < 40; ++i)
            QVERIFY(writeFile(folder + QLatin1Char('/') + smallFileName(i), smallFileContent(i)));
        QList<pid_t> daemons;
        const SkyloftRun outcome = runSkyloft(
            {"upload", "--rapido", "--to", "Dropbox", folder}, m_home, m_resources.path(),
            m_work.path(), [&](const QString &line, QProcess &process) {
                // The daemon is up once a copy has ended.
                if (!line.startsWith(QStringLiteral("Resultado de 'copy' para ")) ||
                    !daemons.isEmpty())
                    return;
                daemons = rcloneChildren(process.processId());
                ::kill(pid_t(process.processId()), SIGKILL);
            });
        QVERIFY2(outcome.exitCode == -1, qPrintable(outcome.describe()));
        QCOMPARE(daemons.size(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(!running(daemons.first()), 30000);
    }

    // rclone prints its statistics once a second; a copy that lasts several seconds moves the
    // service's progress through values between 0 and 100, never backwards, up to 100.
    void aLargeCopyReportsRisingProgress()
    {
        // Past rclone's multipart threshold for S3 (200 MiB), where the server takes a few
        // seconds even on an idle machine.
        constexpr qint64 kSize = 256ll * 1024 * 1024;
        const QString path = m_work.filePath(QStringLiteral("grande aleatorio.bin"));
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QByteArray block(4 * 1024 * 1024, Qt::Uninitialized);
            for (qint64 written = 0; written < kSize; written += block.size()) {
                QRandomGenerator::global()->fillRange(reinterpret_cast<quint32 *>(block.data()),
                                                      block.size() / 4);
                QCOMPARE(file.write(block), qint64(block.size()));
            }
        }

        static const QRegularExpression percentage(
            QStringLiteral("^Porcentaje detectado \\(global\\): (\\d+(?:\\.\\d+)?)%$"));
        QList<double> values;
        QStringList seen;
        const SkyloftRun outcome =
            runSkyloft({"upload", "--procesos", "--to", "Google Drive", path}, m_home,
                       m_resources.path(), m_work.path(), [&](const QString &line, QProcess &) {
                           const QRegularExpressionMatch match = percentage.match(line);
                           if (match.hasMatch()) {
                               values << match.captured(1).toDouble();
                               seen << match.captured(1);
                           }
                       });
        QFile::remove(path);
        QVERIFY2(outcome.exitCode == 0, qPrintable(outcome.describe()));
        const QByteArray message = "percentages: " + seen.join(QStringLiteral(", ")).toUtf8();
        QVERIFY2(!values.isEmpty() && values.last() == 100.0, message);
        QVERIFY2(std::is_sorted(values.cbegin(), values.cend()), message);
        QVERIFY2(std::any_of(values.cbegin(), values.cend(),
                             [](double value) { return value > 0.0 && value < 100.0; }),
                 message);
    }
};

QTEST_GUILESS_MAIN(TestE2eHeadless)
#include "test_e2e_headless.moc"
