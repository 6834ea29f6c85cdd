// SPDX-License-Identifier: MIT
#include "CapturedStdout.h"
#include "ServedOnBus.h"

#include "shell/ContentView.h"
#include "shell/MainView.h"
#include "shell/MainWindow.h"
#include "shell/RunEndNotice.h"
#include "shell/TabSelection.h"
#include "upload/GeneratedLinks.h"

#include <QClipboard>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <QTest>
#include <QWidget>
#include <optional>

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
    QStringList looks;    // "icon|desktop-entry|urgency as a byte"

public Q_SLOTS:
    Q_SCRIPTABLE uint Notify(const QString &app, uint, const QString &icon, const QString &summary,
                             const QString &body, const QStringList &actions,
                             const QVariantMap &hints, int)
    {
        received << QStringList{app, summary, body, actions.join(',')}.join('|');
        const QVariant urgency = hints.value("urgency");
        looks << QStringList{icon, hints.value("desktop-entry").toString(),
                             urgency.metaType() == QMetaType::fromType<uchar>()
                                 ? QString::number(urgency.toInt())
                                 : "not a byte"}
                     .join('|');
        return 41 + uint(received.size());
    }
};

// The fake service on a connection of its own, as long as it lives.
struct NotificationServer
{
    explicit NotificationServer(const QString &name)
        : served(name, "org.freedesktop.Notifications", "/org/freedesktop/Notifications", &service)
    {}
    FakeNotifications service;
    ServedOnBus served;
};

// The desktop saying that the user chose `action` on notice `id`.
bool invoke(QDBusConnection &desktop, uint id, const QString &action)
{
    QDBusMessage signal = QDBusMessage::createSignal(
        "/org/freedesktop/Notifications", "org.freedesktop.Notifications", "ActionInvoked");
    signal << id << action;
    return desktop.send(signal);
}

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
        std::optional<NotificationServer> server;
        if (serviceRuns) {
            server.emplace(QTest::currentDataTag());
            QVERIFY(server->served.running);
        }

        QWidget window;
        if (windowActive) {
            window.show();
            window.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&window));
        }
        int clicks = 0;
        CapturedStdout out;
        RunEndNotice notice(&window, {[&clicks] { ++clicks; }, {}});
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
            notice.runEnded(0, 1);
            // Nothing to copy, nothing offered.
            QTRY_COMPARE(server->service.received,
                         QStringList{"Skyloft|Subida terminada|0 enlaces generados, 1 subida "
                                     "fallida.|default,Ver enlaces,ver-enlaces,Ver enlaces"});
        } else {
            QTRY_COMPARE(server->service.received,
                         QStringList{"Skyloft|Subida terminada|3 enlaces generados, 1 subida "
                                     "fallida.|default,Ver enlaces,ver-enlaces,Ver enlaces,"
                                     "copiar-enlaces,Copiar enlaces"});
            // A failed pair asks for attention.
            QCOMPARE(server->service.looks,
                     QStringList{"app.skyloft.Skyloft|app.skyloft.Skyloft|2"});
            // The desktop reports a click on the notice as its default action.
            QVERIFY(invoke(server->served.bus, 42, "default"));
            QTRY_COMPARE(clicks, 1);
        }
    }

    // The window's notice: "Copiar enlaces" copies what "Copiar Todo" copies, "Ver enlaces"
    // brings the window forward on the links tab.
    void theActionsCopyAndShowTheLinks()
    {
        NotificationServer server("w");
        QVERIFY(server.served.running);
        QTemporaryDir home;
        MainWindow window(home.filePath("historial.sqlite"));
        GeneratedLinks *links = window.contentView()->mainView()->generatedLinks();
        links->append("drive", {"a.txt", "https://d/a"});
        links->append("dropbox", {"b.txt", "https://x/b"});
        window.runEndNotice()->runEnded(2, 0);
        QTRY_COMPARE(server.service.looks,
                     QStringList{"app.skyloft.Skyloft|app.skyloft.Skyloft|1"});

        QVERIFY(invoke(server.served.bus, 42, "copiar-enlaces"));
        QTRY_COMPARE(QGuiApplication::clipboard()->text(), QString("https://d/a\nhttps://x/b"));
        QVERIFY(!window.isVisible());
        QVERIFY(invoke(server.served.bus, 42, "ver-enlaces"));
        QTRY_VERIFY(window.isVisible());
        QCOMPARE(window.contentView()->selectedTab()->selectedTab(), int(TabLinks));
    }
};

QTEST_MAIN(TestRunEndNotice)
#include "test_run_end_notice.moc"
