// SPDX-License-Identifier: MIT
#include "CapturedStdout.h"
#include "FakeRclone.h"
#include "TestHelpers.h"

#include "upload/RclonePairStep.h"

#include <QTest>

using namespace skyloft;
using skyloft::test::CapturedStdout;
using skyloft::test::drainEvents;
using skyloft::test::FakeRclone;
using skyloft::test::writeFile;

namespace {

// Runs one pair, to 1Fichier, to its end.
struct Pair
{
    explicit Pair(const RclonePaths &paths) : step(paths)
    {
        QObject::connect(&step, &PairStep::ended, &step,
                         [this](const PairOutcome &outcome) { outcomes << outcome; });
        step.start(CopyJob{"1Fichier", "fichier", 0, "/tmp/a.txt", "a.txt", {}, {}, {}});
        startReturned = outcomes.isEmpty();
        QTRY_COMPARE(outcomes.size(), 1);
        drainEvents(); // a second ending, if there were one
    }
    RclonePairStep step;
    QList<PairOutcome> outcomes;
    bool startReturned = false;
};

} // namespace

class TestPairStep : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void linkOutput_data()
    {
        QTest::addColumn<QString>("linkHandler");
        QTest::addColumn<PairState>("state");
        QTest::addColumn<QString>("link");   // in the outcome
        QTest::addColumn<QString>("line");   // the last line printed
        QTest::addColumn<QString>("detail"); // in the outcome

        const QString generated = QStringLiteral("Enlace generado para a.txt en 1Fichier: ");
        const QString noLink =
            QStringLiteral("❌ No se pudo obtener el enlace para a.txt en 1Fichier");
        QTest::newRow("leading spaces and trailing blank lines go")
            << "printf '  \\t https://x/y \\n\\n\\n'" << PairState::Subido << "https://x/y"
            << generated + "https://x/y"
            << "";
        QTest::newRow("several lines stay, trimmed only at the ends")
            << "printf 'uno\\ndos\\n'" << PairState::Subido << "uno\ndos" << generated + "uno\ndos"
            << "";
        QTest::newRow("an error only on standard error: no link, rclone's line as detail")
            << "echo 'Failed to link: object not found' >&2; exit 4" << PairState::EnlaceFallido
            << "" << generated << "Failed to link: object not found";
        QTest::newRow("an empty link is no link") << "true" << PairState::EnlaceFallido << ""
                                                  << generated << "rclone no dio ningún enlace";
        QTest::newRow("output larger than a pipe holds does not stall the child")
            << "head -c 300000 /dev/zero | tr '\\0' 'x'; echo" << PairState::Subido
            << QString(300000, 'x') << generated + QString(300000, 'x') << "";
        QTest::newRow("output that is not UTF-8 is no link")
            << "printf 'https://x/\\377\\n'" << PairState::EnlaceFallido << "" << noLink
            << "El enlace no es texto UTF-8";
    }

    void linkOutput()
    {
        QFETCH(QString, linkHandler);
        QFETCH(PairState, state);
        QFETCH(QString, link);
        QFETCH(QString, line);
        QFETCH(QString, detail);

        FakeRclone fake;
        QVERIFY(fake.isValid());
        fake.setHandler("case \"$3\" in link) " + linkHandler + " ;; esac\n");
        CapturedStdout out;
        Pair pair(fake.paths());
        QVERIFY(pair.startReturned);
        QCOMPARE(fake.callCount(), 2); // their arguments: test_upload_run
        const PairOutcome &outcome = pair.outcomes.first();
        QCOMPARE(outcome.state, state);
        QCOMPARE(outcome.link, link);
        QCOMPARE(outcome.detail, detail);
        QCOMPARE(outcome.remote, QStringLiteral("fichier"));
        QVERIFY2(out.text().endsWith(line + "\n"), qPrintable(out.text().right(200)));
    }

    void noPairWithoutALaunchableRclone_data()
    {
        QTest::addColumn<bool>("notAProgram"); // else no rclone resource at all
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("detail");
        QTest::newRow("no rclone resource: nothing started")
            << false
            << QStringList{"Resultado de 'copy' para 1Fichier en archivo /tmp/a.txt: " +
                               kGlobalRclonePathVacio,
                           "❌ No se pudo obtener el enlace para a.txt en 1Fichier"}
            << kGlobalRclonePathVacio;
        QTest::newRow("a resource that cannot be launched")
            << true
            << QStringList{"Resultado de 'copy' para 1Fichier en archivo /tmp/a.txt: ❌ Error "
                           "ejecutando rclone: ",
                           "❌ Error obteniendo URL: ",
                           "❌ No se pudo obtener el enlace para a.txt en 1Fichier"}
            << "❌ Error ejecutando rclone: ";
    }

    void noPairWithoutALaunchableRclone()
    {
        QFETCH(bool, notAProgram);
        QFETCH(QStringList, lines);
        QFETCH(QString, detail);

        QTemporaryDir dir;
        if (notAProgram)
            QVERIFY(writeFile(dir.path() + "/rclone", "plain text"));
        CapturedStdout out;
        Pair pair(RclonePaths(dir.path(), dir.path()));
        QVERIFY(pair.startReturned);
        QCOMPARE(pair.outcomes.first().state, PairState::CopiaFallida);
        QVERIFY2(pair.outcomes.first().detail.startsWith(detail),
                 qPrintable(pair.outcomes.first().detail));
        const QStringList printed = out.lines();
        QCOMPARE(printed.size(), lines.size());
        for (qsizetype i = 0; i < lines.size(); ++i)
            QVERIFY2(printed.at(i).startsWith(lines.at(i)), qPrintable(printed.at(i)));
        // With a resource, the error's description follows.
        QCOMPARE(printed.first().size() > lines.first().size(), notAProgram);
    }

    void lastPathComponent_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::newRow("a file") << "/tmp/a b.txt"
                                << "a b.txt";
        QTest::newRow("a trailing slash is ignored") << "/tmp/carpeta//"
                                                     << "carpeta";
        QTest::newRow("a bare name") << "nombre"
                                     << "nombre";
        QTest::newRow("the root") << "/"
                                  << "/";
    }

    void lastPathComponent()
    {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QCOMPARE(skyloft::lastPathComponent(path), name);
    }
};

QTEST_GUILESS_MAIN(TestPairStep)
#include "test_pair_step.moc"
