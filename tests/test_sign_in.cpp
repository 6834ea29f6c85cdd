// SPDX-License-Identifier: MIT
// A web sign-in from the press of the button to the token in the file, with the real rclone, a
// fake OAuth provider on 127.0.0.1 and a fake browser; nothing leaves the machine.
#include "FakeRclone.h"
#include "ScriptedHttpServer.h"
#include "TestHelpers.h"

#include "auth/ConfigState.h"
#include "screens/config/AuthorizeButton.h"
#include "screens/config/ConfigView.h"
#include "screens/config/ServiceTile.h"
#include "screens/config/SignInPanel.h"
#include "ui/StyledButton.h"
#include "ui/Toast.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QScopeGuard>
#include <QTest>
#include <QThreadPool>
#include <QUrlQuery>

using namespace skyloft;
using namespace skyloft::test;

namespace {

// rclone 1.60.1 always waits for the browser on this port.
constexpr quint16 kSignInPort = 53682;

bool signInPortFree()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, kSignInPort);
}

// The provider's side of the sign-in: /auth sends the browser straight back to rclone with a
// code, /token exchanges it (or refuses it).
void serveOAuth(ScriptedHttpServer &provider, int tokenStatus)
{
    provider.respond("/auth", [](const QUrl &target) {
        const QUrlQuery query(target);
        QUrl back(query.queryItemValue("redirect_uri", QUrl::FullyDecoded));
        back.setQuery("state=" + query.queryItemValue("state") + "&code=codigo-de-prueba");
        return ScriptedHttpServer::response(302, {}, "Location: " + back.toEncoded() + "\r\n");
    });
    const QByteArray token = R"({"access_token":"acceso","token_type":"Bearer",)"
                             R"("refresh_token":"renovar","expires_in":3600})";
    const QByteArray refused = R"({"error":"invalid_grant","error_description":"codigo malo"})";
    provider.answer("/token", tokenStatus, tokenStatus == 200 ? token : refused,
                    "Content-Type: application/json\r\n");
}

} // namespace

class TestSignIn : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void googleDriveSignIn_data()
    {
        QTest::addColumn<int>("tokenStatus");
        QTest::addColumn<bool>("succeeds");
        QTest::newRow("the provider hands out a token") << 200 << true;
        QTest::newRow("the provider refuses the code") << 400 << false;
    }

    void googleDriveSignIn()
    {
        QFETCH(int, tokenStatus);
        QFETCH(bool, succeeds);
        if (!signInPortFree())
            QSKIP("Port 53682 (rclone's fixed sign-in port) is taken: the sign-in cannot run.");

        FakeRclone fake;
        const QString resources = fake.home() + "/real-resources";
        QVERIFY(QDir().mkpath(resources));
        QVERIFY(QFile::link(SKYLOFT_REAL_RCLONE, resources + "/rclone"));
        ScriptedHttpServer provider;
        serveOAuth(provider, tokenStatus);
        // Skyloft's own environment as a user would set it; no desktop, so xdg-open falls back
        // to BROWSER.
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "XDG_CURRENT_DESKTOP",
                                 "DESKTOP_SESSION", "DBUS_SESSION_BUS_ADDRESS"})
            qunsetenv(name);
        qputenv("BROWSER", SKYLOFT_FAKE_BROWSER);
        qputenv("RCLONE_DRIVE_AUTH_URL", provider.url("/auth").toUtf8());
        qputenv("RCLONE_DRIVE_TOKEN_URL", provider.url("/token").toUtf8());

        QList<QUrl> opened;
        ConfigView view(AuthorizationSetup{RclonePaths(resources, fake.home(), fake.configPath()),
                                           fake.killallPath()},
                        nullptr, [&opened](const QUrl &url) {
                            opened << url;
                            return true;
                        });
        // Whatever happens, no rclone is left holding the port.
        const auto cleanup = qScopeGuard([&view] {
            view.state()->cancelSignIn();
            finishAuthorizations();
        });
        view.resize(700, 490);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        ServiceTile *drive = view.findChildren<ServiceTile *>().first();
        QCOMPARE(drive->displayName(), QStringLiteral("Google Drive"));
        QTest::mouseClick(drive, Qt::LeftButton, {}, drive->plateRect().center());
        auto *button = view.findChild<AuthorizeButton *>();
        QCOMPARE(button->text(), QStringLiteral("Autorizar Google Drive"));
        QTest::mouseClick(button, Qt::LeftButton, {}, button->barRect().center());

        // rclone waits and the browser was sent to the address the panel shows.
        SignInPanel *panel = view.signInPanel();
        QTRY_VERIFY_WITH_TIMEOUT(panel->isVisible(), 30000);
        const QString address = panel->address();
        QVERIFY2(address.startsWith("http://127.0.0.1:53682/auth?state="), qPrintable(address));
        QTRY_COMPARE_WITH_TIMEOUT(readFile(fake.home() + "/browser.log").trimmed(),
                                  address.toUtf8(), 30000);
        QCOMPARE(panel->openButton()->text(), QStringLiteral("Abrir en el navegador"));
        QCOMPARE(panel->copyButton()->text(), QStringLiteral("Copiar enlace"));
        QCOMPARE(panel->cancelButton()->text(), QStringLiteral("Cancelar"));
        QTest::mouseClick(panel->openButton(), Qt::LeftButton);
        QCOMPARE(opened, QList<QUrl>{QUrl(address)});
        QTest::mouseClick(panel->copyButton(), Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), address);

        QVERIFY(writeFile(fake.home() + "/browser.go", {}));
        // The provider answers on this thread: keep its events going until the worker is done.
        QTRY_VERIFY_WITH_TIMEOUT(BlockingWork::authorizations().waitForDone(0), 60000);
        QVERIFY(finishAuthorizations());
        QVERIFY(provider.requests().contains("POST /token"));
        QVERIFY(!panel->isVisible());
        auto *toast = view.findChild<Toast *>();
        QCOMPARE(toast->isShown(), succeeds);
        QCOMPARE(drive->isAuthorized(), succeeds);
        const QString config = QString::fromUtf8(readFile(fake.configPath()));
        QCOMPARE(config.contains(R"("access_token":"acceso")"), succeeds);
        const QString failure = view.state()->failure();
        if (succeeds) {
            QCOMPARE(failure, QString());
        } else {
            QVERIFY2(failure.startsWith("No se pudo autorizar Google Drive: "),
                     qPrintable(failure));
            bool shown = false;
            for (QLabel *label : view.findChildren<QLabel *>())
                shown = shown || (label->isVisible() && label->text() == failure);
            QVERIFY(shown);
        }
    }
};

QTEST_MAIN(TestSignIn)
#include "test_sign_in.moc"
