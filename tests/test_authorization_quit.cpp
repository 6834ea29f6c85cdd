// SPDX-License-Identifier: MIT
#include "CapturedStdout.h"
#include "FakeRclone.h"

#include "auth/ConfigState.h"
#include "core/RcloneRunner.h"

#include "core/BlockingWork.h"
#include <QFile>
#include <QTcpServer>
#include <QTest>

using namespace skyloft;
using skyloft::test::CapturedStdout;
using skyloft::test::FakeRclone;

// Quitting is for good, so this runs alone in its own process.
class TestAuthorizationQuit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void quitEndsSignInsThatWouldWaitForever()
    {
        FakeRclone fake;
        // A sign-in waiting for a browser that never comes.
        fake.setHandler("touch \"$call/waiting\"; nap 120\n");
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        const int lowest = probe.serverPort();
        probe.close();
        ConfigState state(
            AuthorizationSetup{fake.paths(), fake.killallPath(), lowest, lowest + 20});
        state.setSelectedService("Dropbox");
        CapturedStdout out;
        state.startAuthorization();
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(fake.home() + "/.fake-rclone/call-1/waiting"),
                                 20000);

        // What the application does when it is about to quit; the worker must come back.
        endBlockingRunsForQuit();
        QVERIFY(BlockingWork::waitForDone(20000));
        QVERIFY(fake.calls().first().terminated);
        QCoreApplication::sendPostedEvents();
        QCOMPARE(state.failure(),
                 QStringLiteral("No se pudo autorizar Dropbox: rclone terminó sin guardar las "
                                "credenciales."));

        // A worker that reaches its sign-in after the sweep is not waited on either (the fake
        // may be ended before it records anything, so the worker's own lines tell).
        state.startAuthorization();
        QVERIFY(BlockingWork::waitForDone(20000));
        QCOMPARE(out.text().count("Resultado de autorizar Dropbox en el puerto "), 2);
    }
};

QTEST_GUILESS_MAIN(TestAuthorizationQuit)
#include "test_authorization_quit.moc"
