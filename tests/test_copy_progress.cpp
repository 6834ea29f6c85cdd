// SPDX-License-Identifier: MIT
#include "FakeRclone.h"

#include "upload/CopyProgress.h"
#include "upload/RcAnswers.h"
#include "upload/ServiceTransfer.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <cmath>

using namespace skyloft;
using skyloft::test::readFile;
using skyloft::test::writeFile;

namespace {

QByteArray sample(const char *name)
{
    return readFile(QStringLiteral(SKYLOFT_TEST_DATA_DIR "/") + QLatin1String(name));
}

constexpr double kNone = -1.0;

} // namespace

Q_DECLARE_METATYPE(skyloft::ServiceTransfer)

class TestCopyProgress : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readCopyChunk_data()
    {
        QTest::addColumn<QByteArray>("chunk");
        QTest::addColumn<bool>("printed");    // the "rclone output parcial: " line
        QTest::addColumn<QString>("verdict"); // the line after it, if any
        QTest::addColumn<double>("fraction"); // kNone when the piece yields nothing

        const QString noPercentage =
            QStringLiteral("No se detectó un porcentaje válido; forzando 100%.");
        QTest::newRow("first captured read: the bytes line's 16 %, not the count line's 0 %")
            << sample("copy-progress-read-1.txt") << true << "Porcentaje detectado (global): 16.0%"
            << 0.16;
        QTest::newRow("final captured block") << sample("copy-progress-read-5.txt") << true
                                              << "Porcentaje detectado (global): 100.0%" << 1.0;
        QTest::newRow("captured failed copy: zero-byte blocks force completion")
            << sample("copy-missing-source.txt") << true << noPercentage << 1.0;
        QTest::newRow("a percentage wins over the 0 B / 0 B fallback")
            << QByteArray("Transferred: 0 B / 0 B, -, 0 B/s, ETA -\nTransferred: 0 / 1, 0%\n")
            << true << "Porcentaje detectado (global): 0.0%" << 0.0;
        QTest::newRow("Transferred: with neither percentage nor 0 B / 0 B")
            << QByteArray("Transferred:   \t    1 MiB / 2 MiB, -, 0 B/s, ETA -\n") << true
            << QString() << kNone;
        QTest::newRow("no statistics at all")
            << QByteArray("2026/12/05 ERROR : something 0 B / 0 B, 50%\n") << true << QString()
            << kNone;
        QTest::newRow("first half of a statistics line split across two reads")
            << QByteArray("Transferred:   \t    1 MiB / 2 MiB, 4") << true << QString() << kNone;
        QTest::newRow("second half of the same line")
            << QByteArray("2%, 1 MiB/s, ETA 1s\n") << true << QString() << kNone;
        QTest::newRow("two matching lines: the first counts")
            << QByteArray("Transferred: 1 MiB / 10 MiB, 10%, 1 MiB/s, ETA 9s\n"
                          "Transferred: 2 MiB / 10 MiB, 20%, 1 MiB/s, ETA 8s\n")
            << true << "Porcentaje detectado (global): 10.0%" << 0.10;
        QTest::newRow("the comma and the percentage must follow on the same line")
            << QByteArray("Transferred: 1 MiB\n, 50%\n") << true << QString() << kNone;
        QTest::newRow("case matters")
            << QByteArray("transferred: 1 MiB / 2 MiB, 50%\n") << true << QString() << kNone;
        QTest::newRow("a no-break space after the comma is white space")
            << QStringLiteral("Transferred: 1 MiB / 2 MiB,\u00A042%\n").toUtf8() << true
            << "Porcentaje detectado (global): 42.0%" << 0.42;
        QTest::newRow("digits of another script match but are no number: no fallback")
            << QStringLiteral("Transferred: 0 B / 0 B, \u0664\u0662%\n").toUtf8() << true
            << QString() << kNone;
        QTest::newRow("invalid UTF-8 is ignored, statistics and all")
            << QByteArray("Transferred: 1 MiB / 2 MiB, 50%\xff\n") << false << QString() << kNone;
        QTest::newRow("a character cut at the end of the read is invalid too")
            << QByteArray("Transferred: 1 MiB / 2 MiB, 50% \xc3") << false << QString() << kNone;
        QTest::newRow("empty read") << QByteArray() << false << QString() << kNone;
    }

    void readCopyChunk()
    {
        QFETCH(QByteArray, chunk);
        QFETCH(bool, printed);
        QFETCH(QString, verdict);
        QFETCH(double, fraction);

        const CopyChunkReading reading = skyloft::readCopyChunk(chunk);
        QStringList expected;
        if (printed)
            expected << QStringLiteral("rclone output parcial: ") + QString::fromUtf8(chunk);
        if (!verdict.isEmpty())
            expected << verdict;
        QCOMPARE(reading.lines, expected);
        QCOMPARE(reading.fraction.has_value(), fraction != kNone);
        if (reading.fraction)
            QCOMPARE(*reading.fraction, fraction);
    }

    // What a card says under its bar: the files and bytes of the pairs ended plus what the copy
    // under way reports, from rclone's statistics line (process engine) or from core/stats of
    // the copy's group (daemon).
    void transferTextFromCapturedStatistics_data()
    {
        QTest::addColumn<QByteArray>("captured");
        QTest::addColumn<ServiceTransfer>("ended"); // the pairs ended before, and the queue
        QTest::addColumn<QString>("text");
        QTest::newRow("a stats line: bytes, speed and the time left, rounded up")
            << sample("copy-progress-read-2.txt") << ServiceTransfer{0, 1, 0, 299999690, 0}
            << "0 de 1 archivo · 183,5 MB de 300,0 MB · 47,2 MB/s · quedan 3 s";
        QTest::newRow("a stats line at 0 B/s: no speed, no time left")
            << sample("copy-progress-read-1.txt") << ServiceTransfer{0, 1, 0, 299999690, 0}
            << "0 de 1 archivo · 47,2 MB de 300,0 MB";
        QTest::newRow("core/stats of a copy after two files")
            << sample("rc-stats-copying.json") << ServiceTransfer{2, 5, 20000000, 100000000, 0}
            << "2 de 5 archivos · 26,5 MB de 100,0 MB · 5,3 MB/s · quedan 14 s";
    }

    void transferTextFromCapturedStatistics()
    {
        QFETCH(QByteArray, captured);
        QFETCH(ServiceTransfer, ended);
        QFETCH(QString, text);
        ServiceTransfer transfer = ended;
        if (const std::optional<TransferLine> line =
                readTransferLine(QString::fromUtf8(captured))) {
            transfer.bytesDone += line->bytes;
            transfer.speed = line->speed;
        } else {
            const std::optional<RcCopyStats> stats =
                rcCopyStats(QJsonDocument::fromJson(captured).object());
            QVERIFY(stats);
            transfer.bytesDone += stats->bytes;
            transfer.speed = stats->speed;
        }
        QCOMPARE(transferText(transfer), text);
    }

    void transferTextWording_data()
    {
        QTest::addColumn<ServiceTransfer>("transfer");
        QTest::addColumn<QString>("text");
        QTest::newRow("nothing moved yet")
            << ServiceTransfer{0, 3, 0, 1500, 0} << "0 de 3 archivos · 0 B de 1,5 kB";
        QTest::newRow("hours and minutes left")
            << ServiceTransfer{0, 1, 0, 10000000000, 1000000}
            << "0 de 1 archivo · 0 B de 10,0 GB · 1,0 MB/s · quedan 2 h 47 min";
        QTest::newRow("a size that could not be read: only the files")
            << ServiceTransfer{1, 2, 10, -1, 0} << "1 de 2 archivos";
        QTest::newRow("all done: nothing left to wait for")
            << ServiceTransfer{2, 2, 999950, 999950, 5000}
            << "2 de 2 archivos · 1,0 MB de 1,0 MB · 5,0 kB/s";
    }

    void transferTextWording()
    {
        QFETCH(ServiceTransfer, transfer);
        QFETCH(QString, text);
        QCOMPARE(transferText(transfer), text);
        QCOMPARE(stallNotice(59), QStringLiteral("Sin progreso desde hace 59 s"));
        QCOMPARE(stallNotice(150), QStringLiteral("Sin progreso desde hace 2 min"));
    }

    void lastMeaningfulLineSkipsStatistics()
    {
        QString text = QString::fromUtf8(sample("copy-missing-source.txt"));
        text.truncate(text.lastIndexOf("exit status:")); // the capture's note, not rclone's
        QCOMPARE(lastMeaningfulLine(text),
                 QStringLiteral("2026/12/05 17:06:12 Failed to copy: directory not found"));
        QCOMPARE(lastMeaningfulLine("Transferred: 0 B / 0 B, -\nElapsed time: 0.1s\n\n"),
                 QString());
    }
};

QTEST_GUILESS_MAIN(TestCopyProgress)
#include "test_copy_progress.moc"
