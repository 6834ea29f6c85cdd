// SPDX-License-Identifier: MIT
// The real killall ends every rclone its caller can see, other users' work included. So this
// suite re-runs itself as the first process of a private PID namespace with its own /proc
// (unshare --pid --fork --mount-proc), where the only rclone is the fake one it starts, and
// skips the real killall where no such namespace can be made.
#include "CapturedStdout.h"
#include "FakeRclone.h"

#include "core/RcloneRunner.h"

#include <QFuture>
#include <QProcess>
#include <QTest>
#include <QtConcurrent>

#include <unistd.h>

using namespace skyloft;
using skyloft::test::CapturedStdout;
using skyloft::test::FakeRclone;

namespace {

const char *const kInsideVariable = "SKYLOFT_TEST_PRIVATE_PID_NAMESPACE";

bool insidePrivateNamespace()
{
    return qEnvironmentVariableIsSet(kInsideVariable) && ::getpid() == 1;
}

#define SKIP_UNLESS_PRIVATE_NAMESPACE()                                                            \
    if (!insidePrivateNamespace())                                                                 \
    QSKIP("the real killall runs only inside a private PID namespace (unshare --pid --fork "       \
          "--mount-proc), and none can be made here")

// The unshare options that make a private PID namespace here: as root directly, otherwise
// inside a user namespace of our own. Empty when neither is allowed.
QStringList namespaceOptions()
{
    const QStringList pid{"--pid", "--fork", "--mount-proc"};
    for (const QStringList &options : {pid, QStringList{"--user", "--map-root-user"} + pid}) {
        QProcess probe;
        probe.setProcessChannelMode(QProcess::ForwardedOutputChannel);
        probe.start(QStringLiteral("unshare"), options + QStringList{"true"});
        if (probe.waitForFinished(-1) && probe.exitStatus() == QProcess::NormalExit &&
            probe.exitCode() == 0)
            return options;
    }
    return {};
}

} // namespace

class TestKillall : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void killAllReportsBothWays()
    {
        SKIP_UNLESS_PRIVATE_NAMESPACE();
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
        SKIP_UNLESS_PRIVATE_NAMESPACE();
        FakeRclone fake;
        fake.setHandler("nap 30\n");
        const RclonePaths paths = fake.paths();
        QFuture<QString> run = QtConcurrent::run([paths] {
            return runRcloneWithAnswer(paths.globalRclonePath(), {"config"},
                                       makeRcloneEnvironment(paths), "y\n");
        });
        QTRY_VERIFY(QFile::exists(fake.home() + "/.fake-rclone/call-1/stdin"));
        CapturedStdout out;
        killAllRclone();
        run.waitForFinished();
        QVERIFY(fake.calls().first().terminated);
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (!qEnvironmentVariableIsSet(kInsideVariable)) {
        const QStringList options = namespaceOptions();
        if (!options.isEmpty()) {
            qputenv(kInsideVariable, "1");
            QProcess inside;
            inside.setProcessChannelMode(QProcess::ForwardedChannels);
            inside.setInputChannelMode(QProcess::ForwardedInputChannel);
            inside.start(QStringLiteral("unshare"),
                         options + QStringList{app.applicationFilePath()} + app.arguments().mid(1));
            if (!inside.waitForFinished(-1) || inside.exitStatus() != QProcess::NormalExit)
                return 1;
            return inside.exitCode();
        }
    }
    TestKillall test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_killall.moc"
