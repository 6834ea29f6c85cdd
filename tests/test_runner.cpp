// SPDX-License-Identifier: MIT
#include "FakeRclone.h"
#include "TestHelpers.h"

#include "core/RcloneRunner.h"

#include <QFuture>
#include <QTcpServer>
#include <QTest>
#include <QtConcurrent>

using namespace skyloft;
using namespace skyloft::test;

class TestRunner : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void childSeesOnlyItsEnvironment()
    {
        FakeRclone fake;
        QVERIFY(fake.isValid());
        qputenv("SKYLOFT_SHOULD_NOT_LEAK", "secret");
        // An upload's run carries the user's rclone options but not the desktop session.
        QProcessEnvironment own;
        own.insert("DISPLAY", ":5");
        own.insert("RCLONE_DRIVE_CLIENT_ID", "mi-id");
        own.insert("RCLONE_CONFIG", "/elsewhere.conf");
        const RcloneEnvironment environment =
            makeRcloneEnvironment(fake.paths(), std::nullopt, own);
        QCOMPARE(environment.keys(), (QStringList{"HOME", "PATH", "RCLONE_CONFIG",
                                                  "RCLONE_DRIVE_CLIENT_ID", "TCELL_MINIMIZE"}));
        QCOMPARE(environment.value("RCLONE_CONFIG"), fake.configPath());
        runRcloneCollect(fake.paths(), {"version"}, environment);
        QCOMPARE(fake.callCount(), 1);
        QCOMPARE(fake.calls().first().environment, environment);
        QCOMPARE(fake.calls().first().arguments, QStringList{"version"});
    }

    void output_data()
    {
        QTest::addColumn<QString>("handler");
        QTest::addColumn<QString>("collected");
        QTest::addColumn<QString>("answered");
        const QString joined = QStringLiteral("one\ntwo\nthree\n");
        QTest::newRow("both streams joined in order")
            << "echo one; sleep 0.05; echo two >&2; sleep 0.05; echo three\n"
            << joined << joined;
        const QString large = QString(2097152, u'a') + QStringLiteral("end\n");
        QTest::newRow("a large output does not stall")
            << "head -c 2097152 /dev/zero | tr '\\0' 'a'; echo end >&2\n"
            << large << large;
        QTest::newRow("invalid UTF-8: nothing collected, U+FFFD answered")
            << "printf 'ok\\377\\n'\n"
            << QString() << QStringLiteral("ok\uFFFD\n");
    }

    void output()
    {
        QFETCH(QString, handler);
        QFETCH(QString, collected);
        QFETCH(QString, answered);
        FakeRclone fake;
        fake.setHandler(handler);
        const RcloneEnvironment environment = makeRcloneEnvironment(fake.paths());
        QCOMPARE(runRcloneCollect(fake.paths(), {}, environment), collected);
        QCOMPARE(runRcloneWithAnswer(fake.paths().globalRclonePath(), {}, environment, "y\n"),
                 answered);
    }

    void missingExecutableIsReportedAsOutput()
    {
        QTemporaryDir empty;
        const RclonePaths paths(empty.path(), empty.path());
        QCOMPARE(paths.globalRclonePath(), QString());
        QCOMPARE(paths.authorizationRclonePath(), QStringLiteral("/usr/local/bin/rclone"));

        const QString collected =
            runRcloneCollect(paths, {"version"}, makeRcloneEnvironment(paths));
        QVERIFY2(collected.startsWith(kErrorEjecutandoRclone), qPrintable(collected));
        QVERIFY(collected.size() > kErrorEjecutandoRclone.size());

        const QString answered =
            runRcloneWithAnswer(empty.path() + "/rclone", {}, makeRcloneEnvironment(paths), "y\n");
        QVERIFY2(answered.startsWith(kErrorEjecutandoRclone), qPrintable(answered));
    }

    void findFreePortSkipsBusyPorts()
    {
        // Two ports that binding shows free, the first then held busy. Another process may take
        // the second meanwhile, so a wrong answer counts only while that port is still free.
        for (int attempt = 0; attempt < 5; ++attempt) {
            const int port = freeLowestPort(2);
            QTcpServer busy;
            if (!busy.listen(QHostAddress::LocalHost, quint16(port)))
                continue;
            const std::optional<quint16> next = findFreePort(port, port + 1);
            if (next != port + 1 && !portIsFree(port + 1))
                continue;
            QCOMPARE(next, std::optional<quint16>(port + 1));
            QCOMPARE(findFreePort(port, port), std::nullopt);
            QCOMPARE(findFreePort(60001, 60000), std::nullopt);
            return;
        }
        QFAIL("no pair of free ports stayed free long enough");
    }

    void terminateBlockingRunsEndsAbandonedSignIn()
    {
        FakeRclone fake;
        fake.setHandler("nap 30\n");
        const RclonePaths paths = fake.paths();
        QFuture<QString> run = QtConcurrent::run(
            [paths] { return runRcloneCollect(paths, {}, makeRcloneEnvironment(paths)); });
        QTRY_VERIFY(QFile::exists(fake.home() + "/.fake-rclone/call-1/stdin"));
        terminateBlockingRuns();
        run.waitForFinished();
        QTRY_VERIFY(fake.calls().first().terminated);
    }
};

QTEST_GUILESS_MAIN(TestRunner)
#include "test_runner.moc"
