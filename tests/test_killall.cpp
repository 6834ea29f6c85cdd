// SPDX-License-Identifier: MIT
// The real killall ends every rclone of the user, so these run alone (RUN_SERIAL).
#include "CapturedStdout.h"
#include "FakeRclone.h"

#include "core/RcloneRunner.h"

#include <QElapsedTimer>
#include <QFuture>
#include <QTest>
#include <QtConcurrent>

using namespace skyloft;
using skyloft::test::CapturedStdout;
using skyloft::test::FakeRclone;

class TestKillall : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void killAllReportsBothWays()
    {
        CapturedStdout out;
        killAllRclone(QStringLiteral("/nonexistent/killall"));
        killAllRclone();
        const QStringList lines = out.lines();
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[0].startsWith("Error en killall rclone: "));
        QVERIFY(lines[0].size() > QStringLiteral("Error en killall rclone: ").size());
        QCOMPARE(lines[1], QStringLiteral("Se ejecutó killall rclone"));
    }

    void killAllEndsAWaitingRun()
    {
        FakeRclone fake;
        fake.setHandler("nap 30\n");
        const RclonePaths paths = fake.paths();
        QElapsedTimer timer;
        timer.start();
        QFuture<QString> run = QtConcurrent::run([paths] {
            return runRcloneWithAnswer(paths.globalRclonePath(), {"config"},
                                       makeRcloneEnvironment(paths), "y\n");
        });
        QTRY_COMPARE(fake.callCount(), 1);
        QTRY_VERIFY(QFile::exists(fake.home() + "/.fake-rclone/call-1/stdin"));
        CapturedStdout out;
        killAllRclone();
        run.waitForFinished();
        QVERIFY(timer.elapsed() < 10000);
    }
};

QTEST_GUILESS_MAIN(TestKillall)
#include "test_killall.moc"
