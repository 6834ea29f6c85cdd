// SPDX-License-Identifier: MIT
#include "upload/FailureCause.h"

#include "TestHelpers.h"

#include <QFile>
#include <QTest>

using namespace skyloft;

namespace {

QString dataFile(const QString &name)
{
    QFile file(QStringLiteral(SKYLOFT_TEST_DATA_DIR "/failures/") + name);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class TestFailureCause : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Every captured output, fed to the engines' tail in small pieces as a pipe would hand it
    // over, gives its cause.
    void causeOfCapturedOutput_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<PairState>("state");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("cause");
        const QStringList rows = dataFile(QStringLiteral("causes.tsv")).split(QLatin1Char('\n'));
        for (const QString &row : rows) {
            const QStringList fields = row.split(QLatin1Char('\t'));
            if (row.startsWith(QLatin1Char('#')) || fields.size() != 4)
                continue;
            const QString output = dataFile(fields[0]);
            QVERIFY2(!output.isEmpty(), qPrintable(fields[0]));
            QTest::newRow(qPrintable(fields[0]))
                << output
                << (fields[1] == QLatin1String("copia") ? PairState::CopiaFallida
                                                        : PairState::EnlaceFallido)
                << fields[2].toInt() << fields[3];
        }
    }

    void causeOfCapturedOutput()
    {
        QFETCH(QString, output);
        QFETCH(PairState, state);
        QFETCH(int, exitCode);
        QFETCH(QString, cause);
        RcloneOutputTail tail;
        for (qsizetype at = 0; at < output.size(); at += 7)
            tail.add(output.mid(at, 7));
        QVERIFY(!tail.text().contains(QStringLiteral("Transferred:")));
        QVERIFY(tail.text().split(QLatin1Char('\n')).size() <= RcloneOutputTail::kLines);
        QCOMPARE(failureCauseKey(classifyFailure(state, exitCode, tail.text())), cause);
    }

    // What a card says: the cause in the app's words, or rclone's own error line without its
    // date; a pair that did not fail has nothing to explain.
    void sentenceOfAPair()
    {
        PairOutcome pair;
        pair.service = QStringLiteral("Google Drive");
        pair.state = PairState::CopiaFallida;
        pair.exitCode = 1;
        pair.rcloneOutput = dataFile(QStringLiteral("copy-drive-token-revoked.txt"));
        explainFailure(pair);
        QCOMPARE(pair.cause, QStringLiteral("autorizacion"));
        QCOMPARE(failureSentence(pair), QStringLiteral("La autorización de Google Drive ya no es "
                                                       "válida. Vuelve a autorizarlo en "
                                                       "Configuración."));

        pair.state = PairState::EnlaceFallido;
        pair.exitCode = 4;
        pair.rcloneOutput = dataFile(QStringLiteral("link-not-found.txt"));
        explainFailure(pair);
        QCOMPARE(failureSentence(pair),
                 QStringLiteral("rclone informó de un error: Failed to link: object not found"));

        // A history row of an older version has no cause: it is read from its text.
        pair.cause.clear();
        pair.rcloneOutput.clear();
        pair.detail = QStringLiteral("Servicio no autorizado");
        QVERIFY(failureSentence(pair).startsWith(QStringLiteral("La autorización de Google")));

        pair.state = PairState::Subido;
        explainFailure(pair);
        QVERIFY(pair.cause.isEmpty());
        QVERIFY(failureSentence(pair).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestFailureCause)
#include "test_failure_cause.moc"
