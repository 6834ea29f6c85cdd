// SPDX-License-Identifier: MIT
#include "CapturedStdout.h"

#include "shell/RunEndNotice.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QTest>
#include <QWidget>

using namespace skyloft;
using namespace skyloft::test;

namespace {

// A notification service as a desktop runs one, on its own connection to the test's bus.
class FakeNotifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList received; // "app|summary|body|actions"

public Q_SLOTS:
    Q_SCRIPTABLE uint Notify(const QString &app, uint, const QString &, const QString &summary,
                             const QString &body, const QStringList &actions, const QVariantMap &,
                             int)
    {
        received << QStringList{app, summary, body, actions.join(',')}.join('|');
        return 41 + uint(received.size());
    }
};

} // namespace

class TestRunEndNotice : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(),
                 "run this test inside dbus-run-session");
    }

    void aRunEndIsAnnouncedUnlessTheWindowIsActive_data()
    {
        QTest::addColumn<bool>("serviceRuns");
        QTest::addColumn<bool>("windowActive");
        QTest::newRow("a notification service answers") << true << false;
        QTest::newRow("the user is looking at the window") << true << true;
        QTest::newRow("no notification service") << false << false;
    }
    void aRunEndIsAnnouncedUnlessTheWindowIsActive()
    {
        QFETCH(bool, serviceRuns);
        QFETCH(bool, windowActive);
        const QString name = QTest::currentDataTag();
        QDBusConnection desktop = QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
        FakeNotifications service;
        if (serviceRuns) {
            QVERIFY(desktop.registerObject("/org/freedesktop/Notifications", &service,
                                           QDBusConnection::ExportScriptableSlots));
            QVERIFY(desktop.registerService("org.freedesktop.Notifications"));
        }

        QWidget window;
        if (windowActive) {
            window.show();
            window.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&window));
        }
        int clicks = 0;
        CapturedStdout out;
        RunEndNotice notice(&window, [&clicks] { ++clicks; });
        notice.runEnded(3, 1);

        if (!serviceRuns) {
            QTRY_VERIFY(out.text().contains("⚠️ Sin servicio de avisos del escritorio: Subida "
                                            "terminada. 3 enlaces generados, 1 subida fallida."));
            return;
        }
        if (windowActive) {
            // Calls on one connection arrive in order: had the first run sent anything, it
            // would come before this one.
            window.hide();
            notice.runEnded(1, 0);
            QTRY_COMPARE(
                service.received,
                QStringList{"Skyloft|Subida terminada|1 enlace generado.|default,Ver enlaces"});
        } else {
            QTRY_COMPARE(service.received,
                         QStringList{"Skyloft|Subida terminada|3 enlaces generados, 1 subida "
                                     "fallida.|default,Ver enlaces"});
            // The desktop reports a click on the notice as its default action.
            QDBusMessage click = QDBusMessage::createSignal(
                "/org/freedesktop/Notifications", "org.freedesktop.Notifications", "ActionInvoked");
            click << uint(42) << QStringLiteral("default");
            QVERIFY(desktop.send(click));
            QTRY_COMPARE(clicks, 1);
        }
        desktop.unregisterService("org.freedesktop.Notifications");
        QDBusConnection::disconnectFromBus(name);
    }
};

QTEST_MAIN(TestRunEndNotice)
#include "test_run_end_notice.moc"
