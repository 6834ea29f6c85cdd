// SPDX-License-Identifier: MIT
// End to end inside tools/sandbox: the built `skyloft upload` command drives the real rclone
// against the sandbox's S3 server, and every link it prints really downloads its file.
#include "FakeRclone.h"

#include "Downloads.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <algorithm>
#include <csignal>
#include <functional>

using skyloft::test::Download;
using skyloft::test::downloadAll;
using skyloft::test::writeFile;

namespace {

const QString kAllDone = QStringLiteral("✅ Todas las subidas completadas");
const QString kQueuedFromFolder = QStringLiteral("📂 Archivo agregado desde carpeta: ");
const QString kServiceStarted = QStringLiteral("Iniciando subida para ");

QString fileNameOf(const QString &path)
{
    return QFileInfo(path).fileName();
}

struct LinkLine
{
    QString remote;
    QString fileName;
    QString link;
};

struct Outcome
{
    bool finished = false;
    int exitCode = -1;
    QStringList out;
    QString err;
    qint64 wallMs = 0;

    // The end of both streams: the link lines and whatever went wrong last.
    QString describe() const
    {
        constexpr qsizetype kTail = 60;
        // Concatenated, not QString::arg: the output holds percent signs.
        return QStringLiteral("\nexit ") + QString::number(exitCode) +
               (finished ? QString() : QStringLiteral(" (did not finish in time)")) +
               QStringLiteral("\n--- last lines of stdout ---\n") +
               out.mid(qMax<qsizetype>(0, out.size() - kTail)).join(QLatin1Char('\n')) +
               QStringLiteral("\n--- end of stderr ---\n") + err.right(4000);
    }

    // The queue in upload order, as the intake announced it.
    QStringList queued() const
    {
        QStringList paths;
        for (const QString &line : out) {
            if (line.startsWith(kQueuedFromFolder))
                paths << line.mid(kQueuedFromFolder.size());
        }
        return paths;
    }

    // Everything after the run's last line is a link line: remote, file name, link. A line of
    // another shape comes back with an empty remote, so comparisons show it.
    QList<LinkLine> linkLines() const
    {
        QList<LinkLine> lines;
        const qsizetype done = out.lastIndexOf(kAllDone);
        if (done < 0)
            return lines;
        for (const QString &line : out.mid(done + 1)) {
            const QStringList fields = line.split(QLatin1Char('\t'));
            if (fields.size() == 3)
                lines.append({fields.at(0), fields.at(1), fields.at(2)});
            else
                lines.append({QString(), line, QString()});
        }
        return lines;
    }
};

// Runs the built program as a user would, in the sandbox's home; `onLine` sees each line of
// standard output as it comes, while the run goes on.
Outcome runSkyloft(const QStringList &arguments, const QString &workDir, const QString &resources,
                   int timeoutMs,
                   const std::function<void(const QString &, QProcess &)> &onLine = {})
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // rclone's S3 client reads this bundle and then fails on the plain-HTTP server.
    environment.remove(QStringLiteral("AWS_CA_BUNDLE"));
    environment.insert(QStringLiteral("HOME"), qEnvironmentVariable("SKYLOFT_SANDBOX_HOME"));
    environment.insert(QStringLiteral("SKYLOFT_RESOURCE_DIR"), resources);
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(workDir);
    process.setStandardInputFile(QProcess::nullDevice());

    Outcome outcome;
    QByteArray pending;
    const auto takeLines = [&] {
        pending += process.readAllStandardOutput();
        for (qsizetype end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n')) {
            outcome.out << QString::fromUtf8(pending.left(end));
            pending.remove(0, end + 1);
            if (onLine)
                onLine(outcome.out.last(), process);
        }
    };
    QObject::connect(&process, &QProcess::readyReadStandardOutput, &process, takeLines);
    QSignalSpy finished(&process, &QProcess::finished);
    QElapsedTimer clock;
    clock.start();
    process.start(QStringLiteral(SKYLOFT_BIN_DIR "/skyloft"), arguments);
    outcome.finished = finished.wait(timeoutMs);
    outcome.wallMs = clock.elapsed();
    if (!outcome.finished) {
        process.kill();
        process.waitForFinished(10000);
    }
    takeLines();
    if (!pending.isEmpty())
        outcome.out << QString::fromUtf8(pending);
    outcome.exitCode =
        outcome.finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    outcome.err = QString::fromUtf8(process.readAllStandardError());
    return outcome;
}

// The rclone processes whose parent is `parent`.
QList<pid_t> rcloneChildren(qint64 parent)
{
    QList<pid_t> children;
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/") + entry + QStringLiteral("/stat"));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // pid (comm) state ppid ...
        const QByteArray line = stat.readAll();
        const qsizetype close = line.lastIndexOf(')');
        const QList<QByteArray> fields = line.mid(close + 2).split(' ');
        if (line.contains("(rclone)") && fields.size() > 1 && fields.at(1).toLongLong() == parent)
            children << pid_t(entry.toInt());
    }
    return children;
}

// Alive and not a zombie waiting to be reaped.
bool running(pid_t pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    return line.mid(line.lastIndexOf(')') + 2, 1) != "Z";
}

// Spaces, both quote characters and letters outside ASCII, numbered so that no two files share
// a name (the run puts every file at the top of the remote).
QString smallFileName(int index)
{
    static const QStringList patterns{
        QStringLiteral("archivo %1.txt"),
        QStringLiteral("informe del año %1.dat"),
        QStringLiteral("cita \"%1\" final.txt"),
        QStringLiteral("l'Ñandú %1 – ü.bin"),
        QStringLiteral("ζωή και Ωμέγα %1"),
        QStringLiteral("sin_espacios_%1.log"),
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
    QTemporaryDir m_resources;
    QTemporaryDir m_work;
    int m_port = 0;

    // Checks that each link points at its own remote's bucket and serves exactly its file.
    void verifyDownloads(const QList<LinkLine> &lines, const QHash<QString, QByteArray> &contents,
                         const Outcome &outcome)
    {
        QList<QUrl> urls;
        for (const LinkLine &line : lines) {
            const QUrl url(line.link);
            const QString where = line.remote + QLatin1Char('\t') + line.fileName +
                                  QStringLiteral(": '") + line.link + QLatin1Char('\'');
            QVERIFY2(url.isValid() && url.scheme() == QLatin1String("http") && url.port() == m_port,
                     qPrintable(where + outcome.describe()));
            QVERIFY2(url.path() == QStringLiteral("/skyloft-") + line.remote + QLatin1Char('/') +
                                       line.fileName,
                     qPrintable(where));
            urls << url;
        }
        const QList<Download> downloads = downloadAll(urls, 180000);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QString where = lines.at(i).remote + QLatin1Char('\t') + lines.at(i).fileName;
            QVERIFY2(downloads.at(i).error.isEmpty(),
                     qPrintable(where + QStringLiteral(": ") + downloads.at(i).error));
            QVERIFY2(downloads.at(i).body == contents.value(lines.at(i).fileName),
                     qPrintable(where + QStringLiteral(": the download differs from the file (%1 "
                                                       "bytes downloaded, %2 expected)")
                                            .arg(downloads.at(i).body.size())
                                            .arg(contents.value(lines.at(i).fileName).size())));
        }
    }

private Q_SLOTS:
    void initTestCase()
    {
        const QString sandboxHome = qEnvironmentVariable("SKYLOFT_SANDBOX_HOME");
        if (sandboxHome.isEmpty())
            QFAIL("SKYLOFT_SANDBOX_HOME is not set: run this test through tools/sandbox");
        QVERIFY(QFileInfo::exists(sandboxHome + QStringLiteral("/.rclone.conf")));
        m_port = qEnvironmentVariableIntValue("SKYLOFT_SANDBOX_S3_PORT");
        QVERIFY(m_port > 0);
        QVERIFY(QFileInfo(QStringLiteral(SKYLOFT_BIN_DIR "/skyloft")).isExecutable());
        QVERIFY(m_resources.isValid() && m_work.isValid());
        QVERIFY(QFile::link(QStringLiteral(SKYLOFT_REAL_RCLONE),
                            m_resources.filePath(QStringLiteral("rclone"))));
    }

    // Every queued file goes to every service, in queue order within each; the links come out
    // grouped by remote in upload order, and each one serves its file byte for byte. "Subida
    // rápida" runs several times in a row with new contents, so a stale object would show.
    void manySmallFilesToTwoServices_data()
    {
        QTest::addColumn<int>("files");
        QTest::addColumn<int>("runs");
        QTest::addColumn<QStringList>("options");
        QTest::newRow("a process per step") << 200 << 1 << QStringList();
        QTest::newRow("subida rápida") << 40 << 5 << QStringList{QStringLiteral("--rapido")};
    }

    void manySmallFilesToTwoServices()
    {
        QFETCH(int, files);
        QFETCH(int, runs);
        QFETCH(QStringList, options);
        const QString folder =
            m_work.filePath(QStringLiteral("muchos archivos ") + QTest::currentDataTag());
        for (int run = 0; run < runs; ++run) {
            QHash<QString, QByteArray> contents;
            QStringList created;
            for (int i = 0; i < files; ++i) {
                // Some in a subfolder: the intake walks folders recursively.
                const QString path =
                    folder +
                    (i % 9 == 4 ? QStringLiteral("/sub carpeta ñ/") : QStringLiteral("/")) +
                    smallFileName(i);
                contents.insert(smallFileName(i), smallFileContent(run * 1000 + i));
                QVERIFY(writeFile(path, contents.value(smallFileName(i))));
                created << path;
            }

            // Given in the other order: the links follow the services' fixed order.
            const Outcome outcome = runSkyloft(
                QStringList{QStringLiteral("upload")} + options +
                    QStringList{QStringLiteral("--to"), QStringLiteral("Dropbox"),
                                QStringLiteral("--to"), QStringLiteral("Google Drive"), folder},
                m_work.path(), m_resources.path(), 450000);
            qInfo("skyloft upload %s of %d files to 2 services: %.1f s",
                  qPrintable(options.join(QLatin1Char(' '))), files,
                  double(outcome.wallMs) / 1000.0);
            QVERIFY2(outcome.finished, qPrintable(outcome.describe()));
            QVERIFY2(outcome.exitCode == 0, qPrintable(outcome.describe()));

            const QStringList queue = outcome.queued();
            QStringList sortedQueue = queue;
            sortedQueue.sort();
            created.sort();
            QCOMPARE(sortedQueue, created);

            QStringList expected;
            for (const QString &remote : {QStringLiteral("drive"), QStringLiteral("dropbox")}) {
                for (const QString &path : queue)
                    expected << remote + QLatin1Char('\t') + fileNameOf(path);
            }
            const QList<LinkLine> lines = outcome.linkLines();
            QStringList got;
            for (const LinkLine &line : lines)
                got << line.remote + QLatin1Char('\t') + line.fileName;
            QCOMPARE(got.size(), 2 * files);
            QCOMPARE(got, expected);
            verifyDownloads(lines, contents, outcome);
        }
    }

    // Skyloft killed outright during a fast run takes its rclone rcd along.
    void killedDuringAFastRunLeavesNoRcloneBehind()
    {
        const QString folder = m_work.filePath(QStringLiteral("interrumpida"));
        for (int i = 0; i < 40; ++i)
            QVERIFY(writeFile(folder + QLatin1Char('/') + smallFileName(i), smallFileContent(i)));
        QList<pid_t> daemons;
        const Outcome outcome = runSkyloft(
            {QStringLiteral("upload"), QStringLiteral("--rapido"), QStringLiteral("--to"),
             QStringLiteral("Dropbox"), folder},
            m_work.path(), m_resources.path(), 120000, [&](const QString &line, QProcess &process) {
                if (!line.startsWith(kServiceStarted) || !daemons.isEmpty())
                    return;
                daemons = rcloneChildren(process.processId());
                ::kill(pid_t(process.processId()), SIGKILL);
            });
        QVERIFY2(outcome.finished && outcome.exitCode == -1, qPrintable(outcome.describe()));
        QCOMPARE(daemons.size(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(!running(daemons.first()), 30000);
    }

    // A file deleted after it was queued fails its copy and gives no link; the run goes on, every
    // other link works, and the status tells that one is missing.
    void aQueuedFileThatVanishesLeavesOnlyItsLinkOut()
    {
        constexpr int kFiles = 20;
        const QString folder = m_work.filePath(QStringLiteral("se va uno"));
        QHash<QString, QByteArray> contents;
        for (int i = 0; i < kFiles; ++i) {
            const QString name = QStringLiteral("desaparece ") + smallFileName(i);
            contents.insert(name, smallFileContent(1000 + i));
            QVERIFY(writeFile(folder + QLatin1Char('/') + name, contents.value(name)));
        }

        QString vanished;
        bool removed = false;
        QStringList queuedSoFar;
        const Outcome outcome = runSkyloft(
            {QStringLiteral("upload"), QStringLiteral("--to"), QStringLiteral("Dropbox"), folder},
            m_work.path(), m_resources.path(), 120000, [&](const QString &line, QProcess &) {
                if (line.startsWith(kQueuedFromFolder))
                    queuedSoFar << line.mid(kQueuedFromFolder.size());
                // The last file is copied last: long after the run has started.
                if (line.startsWith(kServiceStarted) && vanished.isEmpty() &&
                    !queuedSoFar.isEmpty()) {
                    vanished = queuedSoFar.last();
                    removed = QFile::remove(vanished);
                }
            });
        QVERIFY2(removed, qPrintable(QStringLiteral("could not delete '") + vanished +
                                     QStringLiteral("' during the run") + outcome.describe()));
        QVERIFY2(outcome.finished, qPrintable(outcome.describe()));
        QVERIFY2(outcome.exitCode == 1, qPrintable(outcome.describe()));

        const QStringList queue = outcome.queued();
        QCOMPARE(queue.size(), kFiles);
        QCOMPARE(queue.last(), vanished);
        // The copy of the vanished file was tried, in its turn.
        const QString vanishedResult =
            QStringLiteral("Resultado de 'copy' para Dropbox en archivo ") + vanished + ": ";
        QVERIFY2(std::any_of(outcome.out.cbegin(), outcome.out.cend(),
                             [&](const QString &line) { return line.startsWith(vanishedResult); }),
                 qPrintable(outcome.describe()));

        QList<LinkLine> working;
        QStringList got;
        for (const LinkLine &line : outcome.linkLines()) {
            QVERIFY2(line.remote == QLatin1String("dropbox"), qPrintable(outcome.describe()));
            if (line.fileName == fileNameOf(vanished)) {
                QVERIFY2(line.link.isEmpty(),
                         qPrintable(QStringLiteral("the vanished file has a link: ") + line.link));
                continue;
            }
            got << line.fileName;
            working << line;
        }
        QStringList expected;
        for (const QString &path : queue.mid(0, kFiles - 1))
            expected << fileNameOf(path);
        QCOMPARE(got, expected);
        verifyDownloads(working, contents, outcome);
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
        const Outcome outcome = runSkyloft(
            {QStringLiteral("upload"), QStringLiteral("--to"), QStringLiteral("Google Drive"),
             path},
            m_work.path(), m_resources.path(), 120000, [&values](const QString &line, QProcess &) {
                const QRegularExpressionMatch match = percentage.match(line);
                if (match.hasMatch())
                    values << match.captured(1).toDouble();
            });
        QFile::remove(path);
        QStringList seen;
        for (double value : std::as_const(values))
            seen << QString::number(value);
        qInfo("copy of %lld MiB took %.1f s; percentages seen: %s", kSize / (1024 * 1024),
              double(outcome.wallMs) / 1000.0, qPrintable(seen.join(QStringLiteral(", "))));
        QVERIFY2(outcome.finished, qPrintable(outcome.describe()));
        QVERIFY2(outcome.exitCode == 0, qPrintable(outcome.describe()));

        const QString message = QStringLiteral("percentages: ") + seen.join(QStringLiteral(", "));
        QVERIFY2(!values.isEmpty(), qPrintable(message + outcome.describe()));
        QVERIFY2(values.last() == 100.0, qPrintable(message));
        QVERIFY2(std::is_sorted(values.cbegin(), values.cend()), qPrintable(message));
        QVERIFY2(std::any_of(values.cbegin(), values.cend(),
                             [](double value) { return value > 0.0 && value < 100.0; }),
                 qPrintable(message));
    }
};

QTEST_GUILESS_MAIN(TestE2eHeadless)
#include "test_e2e_headless.moc"
