// SPDX-License-Identifier: MIT
#include "FakeRclone.h"

#include "upload/CopyProgress.h"

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
