// SPDX-License-Identifier: MIT
#include "CapturedStdout.h"
#include "FakeRclone.h"
#include "TestHelpers.h"

#include "auth/AuthorizationUrl.h"
#include "auth/ConfigState.h"
#include "core/RcloneConfigFile.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

using namespace skyloft;
using namespace skyloft::test;

namespace {

const QString kDataDir = QStringLiteral(SKYLOFT_TEST_DATA_DIR);
const QString kBusyPortLine = QStringLiteral("Puerto ocupado. Se intenta con nuevo puerto ");

QString sample(const QString &name)
{
    return QString::fromUtf8(readFile(kDataDir + QLatin1Char('/') + name));
}

// The real rclone in a resource folder of the fake's home, for runs that need rclone itself.
RclonePaths realRclonePaths(const FakeRclone &fake)
{
    const QString resources = fake.home() + QStringLiteral("/real-resources");
    QDir().mkpath(resources);
    QFile::link(QStringLiteral(SKYLOFT_REAL_RCLONE), resources + QStringLiteral("/rclone"));
    return RclonePaths(resources, fake.home(), fake.configPath());
}

// What the user typed in the Mega and 1Fichier fields.
struct Credentials
{
    QString megaEmail;
    QString megaPassword;
    QString fichierAPI;
};

// Configuration state over a fake (or the real) rclone, killall stand-in and own port range.
struct Bench
{
    explicit Bench(int portCount = 20, bool realRclone = false,
                   const QProcessEnvironment &own = QProcessEnvironment())
        : lowest(freeLowestPort()),
          state(AuthorizationSetup{realRclone ? realRclonePaths(fake) : fake.paths(),
                                   fake.killallPath(), lowest, lowest + portCount, own})
    {}

    QString portText(int offset) const { return QString::number(lowest + offset); }

    void select(const QString &service,
                const Credentials &typed = {"ana@example.com", "secreto", "clave"})
    {
        state.setSelectedService(service);
        state.setCredential("Mega", 0, typed.megaEmail);
        state.setCredential("Mega", 1, typed.megaPassword);
        state.setCredential("1Fichier", 0, typed.fichierAPI);
    }

    bool press()
    {
        state.startAuthorization();
        return finishAuthorizations();
    }

    // A test that fails half-way leaves no sign-in waiting to hold up the next one.
    ~Bench()
    {
        terminateBlockingRuns();
        finishAuthorizations();
    }

    FakeRclone fake;
    int lowest;
    ConfigState state;
};

QStringList spiedTexts(const QSignalSpy &spy)
{
    QStringList texts;
    for (const QList<QVariant> &arguments : spy)
        texts << arguments.first().toString();
    return texts;
}

} // namespace

class TestAuthorization : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstDropboxPress()
    {
        // Skyloft's own environment: the desktop session, a user's rclone options, and what
        // must not leak or override.
        QProcessEnvironment own;
        own.insert("DISPLAY", ":5");
        own.insert("BROWSER", "/opt/navegador");
        own.insert("RCLONE_DROPBOX_CLIENT_ID", "mi-id");
        own.insert("RCLONE_CONFIG", "/elsewhere.conf");
        own.insert("RCLONE_AUTH_PORT", "1");
        own.insert("SKYLOFT_SHOULD_NOT_LEAK", "x");
        Bench bench(20, false, own);
        QTcpServer busy;
        QVERIFY(busy.listen(QHostAddress::LocalHost, quint16(bench.lowest)));
        // The fake keeps what it found when it started (killall's record and the config file),
        // then stores a token as a finished sign-in does.
        bench.fake.setHandler(QStringLiteral("cp \"$HOME/killall.log\" \"$call/killall-seen\"\n"
                                             "cp \"$RCLONE_CONFIG\" \"$call/config-seen\"\n"
                                             "cat '%1/config-create-drive-waiting.txt'\n"
                                             "printf '[dropbox]\\ntoken = {}\\n' > "
                                             "\"$RCLONE_CONFIG\"\n")
                                  .arg(kDataDir));
        bench.select("Dropbox");
        CapturedStdout out;
        QVERIFY(bench.press());

        const auto calls = bench.fake.calls();
        QCOMPARE(calls.size(), 1);
        const QString config = bench.fake.configPath();
        QCOMPARE(calls[0].arguments,
                 (QStringList{"--config", config, "config", "create", "dropbox", "dropbox"}));
        const QMap<QString, QString> environment{{"RCLONE_AUTH_PORT", bench.portText(1)},
                                                 {"HOME", bench.fake.home()},
                                                 {"PATH", "/usr/bin:/bin:/usr/sbin:/sbin"},
                                                 {"RCLONE_CONFIG", config},
                                                 {"TCELL_MINIMIZE", "1"},
                                                 {"DISPLAY", ":5"},
                                                 {"BROWSER", "/opt/navegador"},
                                                 {"RCLONE_DROPBOX_CLIENT_ID", "mi-id"}};
        QCOMPARE(calls[0].environment, environment);
        QCOMPARE(calls[0].standardInput, QByteArray("y\n"));
        QCOMPARE(readFile(bench.fake.callDir(1) + "/killall-seen"), QByteArray("rclone\n"));
        QCOMPARE(readFile(bench.fake.callDir(1) + "/config-seen"),
                 RcloneConfigFile::defaultContent());

        const QString address = "http://127.0.0.1:53682/auth?state=pNyoN3l9fw0YaMR1GS4e3g";
        const QStringList lines = out.lines();
        QVERIFY(lines.contains("🌍 URL de autorización (API de rclone): " + address));
        QVERIFY(lines.contains("🌍 URL de autorización: " + address));
        QVERIFY(lines.contains("Resultado de autorizar Dropbox en el puerto " + bench.portText(1) +
                               ":"));
        QCOMPARE(bench.state.mensaje(), QStringLiteral("✅ Dropbox configurado correctamente"));
        QCOMPARE(bench.state.authorizedServices(), QSet<QString>{"dropbox"});
        QCOMPARE(bench.state.failure(), QString());
    }

    void busyPortRetriesOnce_data()
    {
        QTest::addColumn<QString>("service");
        QTest::addColumn<QString>("remote");
        QTest::addColumn<bool>("signIn");
        QTest::newRow("Dropbox authorizes again on the next free port") << "Dropbox"
                                                                        << "dropbox" << true;
        QTest::newRow("Mega only moves the port") << "Mega"
                                                  << "mega" << false;
    }

    void busyPortRetriesOnce()
    {
        QFETCH(QString, service);
        QFETCH(QString, remote);
        QFETCH(bool, signIn);
        Bench bench;
        QTcpServer busy;
        QVERIFY(busy.listen(QHostAddress::LocalHost, quint16(bench.lowest + 1)));
        // The retry reports the busy port again; that must not lead to a second retry.
        bench.fake.setHandler(QStringLiteral("[ \"$3\" = authorize ] && echo 'authorize output'\n"
                                             "cat '%1/config-create-busy-port.txt'\n")
                                  .arg(kDataDir));
        bench.select(service);
        CapturedStdout out;
        QVERIFY(bench.press());

        const QString newPort = bench.portText(2);
        QCOMPARE(linesStartingWith(out.lines(), kBusyPortLine),
                 QStringList{kBusyPortLine + newPort});
        const auto calls = bench.fake.calls();
        QCOMPARE(calls.size(), signIn ? 2 : 1);
        QCOMPARE(calls[0].environment.value("RCLONE_AUTH_PORT"), bench.portText(0));
        const QString log =
            "Resultado de autorizar " + service + " en el puerto " + newPort + ":\n";
        if (signIn) {
            QCOMPARE(calls[1].arguments,
                     (QStringList{"--config", bench.fake.configPath(), "authorize", remote}));
            QCOMPARE(calls[1].environment.value("RCLONE_AUTH_PORT"), newPort);
            QCOMPARE(calls[1].standardInput, QByteArray());
            QVERIFY(out.text().contains(log + "authorize output\nError: config failed"));
        } else {
            QVERIFY(out.text().contains(log + "Error: config failed"));
        }
    }

    void endsWithoutRunningRclone_data()
    {
        QTest::addColumn<QString>("service");
        QTest::addColumn<Credentials>("typed");
        QTest::addColumn<bool>("portsBusy");
        QTest::addColumn<QString>("mensaje");
        QTest::newRow("no free port in the range")
            << "Dropbox" << Credentials{} << true << "❌ No se encontró un puerto libre.";
        QTest::newRow("Mega without a password")
            << "Mega" << Credentials{"ana@example.com", "", ""} << false
            << "❌ Ingresa email y password para Mega.";
        QTest::newRow("Mega without a user") << "Mega" << Credentials{"", "secreto", ""} << false
                                             << "❌ Ingresa email y password para Mega.";
        QTest::newRow("1Fichier without a key") << "1Fichier" << Credentials{"a", "b", ""} << false
                                                << "❌ Ingresa la API Key para 1Fichier.";
    }

    void endsWithoutRunningRclone()
    {
        QFETCH(QString, service);
        QFETCH(Credentials, typed);
        QFETCH(bool, portsBusy);
        QFETCH(QString, mensaje);
        Bench bench(portsBusy ? 0 : 20);
        QTcpServer busy;
        if (portsBusy)
            QVERIFY(busy.listen(QHostAddress::LocalHost, quint16(bench.lowest)));
        bench.select(service, typed);
        CapturedStdout out;
        QVERIFY(bench.press());

        QCOMPARE(bench.state.mensaje(), mensaje);
        QCOMPARE(bench.state.failure(), "No se pudo autorizar " + service + ": " + mensaje.mid(2));
        QCOMPARE(bench.fake.callCount(), 0);
        // The action's steps all ran before the branch gave up.
        QCOMPARE(bench.fake.killallRuns(), QStringList{"rclone"});
        QVERIFY(QFile::exists(bench.fake.configPath()));
        QCOMPARE(linesStartingWith(out.lines(), "Resultado de autorizar "), QStringList());
    }

    void successNeedsCredentialsInTheSection_data()
    {
        QTest::addColumn<QString>("service");
        QTest::addColumn<QString>("handler");
        QTest::addColumn<int>("presses");
        QTest::addColumn<QStringList>("mensajes");
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QStringList>("authorized");
        QTest::newRow("Google Drive with only the default section fails with rclone's last line")
            << "Google Drive"
            << "echo '2026/12/05 17:05:52 Error: something went wrong'; echo\n"
            << 1
            << QStringList{"⚠️ No se encontró URL válida para autorización.",
                           "❌ Error configurando Google Drive: Error: something went wrong"}
            << "No se pudo autorizar Google Drive: Error: something went wrong" << QStringList{};
        QTest::newRow("1Fichier whose section rclone did not write fails plainly")
            << "1Fichier"
            << "" << 1
            << QStringList{"❌ Error configurando 1Fichier: La sección [fichier] no se encontró "
                           "en el config file. Intenta reconectar el servicio."}
            << "No se pudo autorizar 1Fichier: La sección [fichier] no se encontró en el archivo "
               "de configuración."
            << QStringList{};
        QTest::newRow("Mega twice changes the message once")
            << "Mega"
            << "sed -i 's/^type = mega$/type = mega\\nuser = ana/' \"$RCLONE_CONFIG\"\n"
            << 2 << QStringList{"✅ Mega configurado correctamente"} << "" << QStringList{"mega"};
        QTest::newRow("Mega with a section but no credentials fails")
            << "Mega"
            << "" << 1
            << QStringList{"❌ Error configurando Mega: rclone terminó sin guardar las "
                           "credenciales."}
            << "No se pudo autorizar Mega: rclone terminó sin guardar las credenciales."
            << QStringList{};
    }

    void successNeedsCredentialsInTheSection()
    {
        QFETCH(QString, service);
        QFETCH(QString, handler);
        QFETCH(int, presses);
        QFETCH(QStringList, mensajes);
        QFETCH(QString, failure);
        QFETCH(QStringList, authorized);
        Bench bench;
        bench.fake.setHandler(handler);
        bench.select(service);
        QSignalSpy changes(&bench.state, &ConfigState::mensajeChanged);
        CapturedStdout out;
        for (int press = 0; press < presses; ++press)
            QVERIFY(bench.press());
        QCOMPARE(spiedTexts(changes), mensajes);
        QCOMPARE(bench.state.failure(), failure);
        QCOMPARE(sorted(bench.state.authorizedServices().values()), authorized);
        QVERIFY(out.text().contains("Intentando leer el archivo de configuración en: " +
                                    bench.fake.configPath()));
    }

    void oneDriveFindsTheDrive_data()
    {
        QTest::addColumn<QString>("reconnectOutput");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("driveId");
        QTest::addColumn<QStringList>("jsonErrors");
        QTest::newRow("only braces enclose an object with the member")
            << "NOTICE: drive chosen\n{\"drive_id\": \"abc\", \"drive_type\": \"personal\"}\n"
            << true << "abc" << QStringList{};
        QTest::newRow("no braces, the quoted member in a log line")
            << "NOTICE: \"drive_id\":\t\"xyz\" chosen\n"
            << true << "xyz" << QStringList{};
        QTest::newRow("two separate objects, the second with the member")
            << "{\"drive_type\": \"personal\"}\n{\"drive_id\": \"two\"}\n"
            << true << "two"
            << QStringList{"Error al parsear JSON: garbage at the end of the document"};
        QTest::newRow("a number is no identifier")
            << "{\"drive_id\": 42}" << false << "" << QStringList{};
        QTest::newRow("an empty string is an identifier")
            << "{\"drive_id\": \"\"}" << true << "" << QStringList{};
        QTest::newRow("a closing brace before the only opening one")
            << "} \"drive_id\": \"p1\" {" << true << "p1" << QStringList{};
        QTest::newRow("a sign-in that never finished")
            << sample("config-reconnect-onedrive-waiting.txt") << false << "" << QStringList{};
    }

    void oneDriveFindsTheDrive()
    {
        QFETCH(QString, reconnectOutput);
        QFETCH(bool, found);
        QFETCH(QString, driveId);
        QFETCH(QStringList, jsonErrors);
        Bench bench;
        QVERIFY(writeFile(bench.fake.home() + "/reconnect-output", reconnectOutput.toUtf8()));
        // The update stands for the whole sign-in: it leaves the token.
        bench.fake.setHandler(
            "case \"$4\" in\n"
            "reconnect) cat \"$HOME/reconnect-output\" ;;\n"
            "update) echo 'update done'\n"
            "  sed -i 's/^type = onedrive$/&\\ntoken = t/' \"$RCLONE_CONFIG\" ;;\n"
            "esac\n");
        QCOMPARE(bench.state.selectedService(), QStringLiteral("OneDrive"));
        CapturedStdout out;
        QVERIFY(bench.press());

        const QString config = bench.fake.configPath();
        const auto calls = bench.fake.calls();
        QCOMPARE(calls.size(), found ? 2 : 1);
        QCOMPARE(calls[0].arguments,
                 (QStringList{"--config", config, "config", "reconnect", "onedrive:"}));
        QCOMPARE(calls[0].standardInput, QByteArray("y\n"));
        QCOMPARE(linesStartingWith(out.lines(), "Error al parsear JSON: "), jsonErrors);
        const QString log = "Resultado de autorizar OneDrive en el puerto " + bench.portText(0) +
                            ":\n" + reconnectOutput;
        if (found) {
            QCOMPARE(calls[1].arguments, (QStringList{"--config", config, "config", "update",
                                                      "onedrive", "drive_id", driveId}));
            QVERIFY(out.lines().contains("OneDrive drive_id actualizado: " + driveId +
                                         ". Resultado update: update done"));
            QVERIFY(out.text().contains(log + "\nupdate done\n"));
        } else {
            QVERIFY(out.lines().contains("No se pudo extraer drive_id para OneDrive"));
            QVERIFY(out.text().contains(log));
        }
        QCOMPARE(bench.state.mensaje().startsWith("✅ OneDrive"), found);
    }

    void findAuthorizationUrl_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected"); // empty: none
        const QString address = QStringLiteral("http://127.0.0.1:53682/auth?state=abc123");
        QTest::newRow("between two spaces") << "go to " + address + " now" << address;
        QTest::newRow("followed by a double quote") << "\"" + address + "\"," << address;
        QTest::newRow("at the end of the text") << "link: " + address << address;
        QTest::newRow("a no-break space is white space too") << address + "\u00A0x" << address;
        QTest::newRow("the leftmost of two")
            << address + "\nhttp://127.0.0.1:53683/auth?state=zz" << address;
        QTest::newRow("rclone's own output") << sample("config-create-drive-waiting.txt")
                                             << "http://127.0.0.1:53682/"
                                                "auth?state=pNyoN3l9fw0YaMR1GS4e3g";
        QTest::newRow("another loopback address") << "http://127.0.0.2:53682/auth?state=abc"
                                                  << "";
        QTest::newRow("another path") << "http://127.0.0.1:53682/token?state=abc"
                                      << "";
        QTest::newRow("no state value") << "http://127.0.0.1:53682/auth?state= x"
                                        << "";
        // What the pattern lets through must still be a valid address.
        QTest::newRow("a port out of range") << "http://127.0.0.1:99999999/auth?state=abc"
                                             << "";
    }

    void findAuthorizationUrl()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const std::optional<QUrl> url = skyloft::findAuthorizationUrl(text);
        QCOMPARE(url.has_value(), !expected.isEmpty());
        if (url)
            QCOMPARE(authorizationUrlText(*url), expected);
    }

    void aPressReplacesTheWaitingSignIn_data()
    {
        QTest::addColumn<bool>("whileWaiting");
        QTest::newRow("a second press as soon as the first rclone runs") << false;
        QTest::newRow("a second press while the first waits for the browser") << true;
    }

    void aPressReplacesTheWaitingSignIn()
    {
        QFETCH(bool, whileWaiting);
        Bench bench;
        bench.fake.setHandler(QStringLiteral("cat '%1/config-create-drive-waiting.txt'\n"
                                             "touch \"$call/waiting\"; nap 60\n")
                                  .arg(kDataDir));
        bench.select("Dropbox");
        QSignalSpy changes(&bench.state, &ConfigState::mensajeChanged);
        CapturedStdout out;
        bench.state.startAuthorization();
        if (whileWaiting) {
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(bench.fake.callDir(1) + "/waiting"), 20000);
            // The address shows while rclone still waits.
            QTRY_COMPARE(
                bench.state.signInAddress(),
                QStringLiteral("http://127.0.0.1:53682/auth?state=pNyoN3l9fw0YaMR1GS4e3g"));
        } else {
            // Running (its handler reached), maybe not yet showing its address.
            QTRY_VERIFY_WITH_TIMEOUT(bench.fake.callCount() == 1 && bench.fake.lastCallWaits(),
                                     20000);
        }
        bench.select("Google Drive");
        bench.state.startAuthorization();
        QTRY_VERIFY_WITH_TIMEOUT(!bench.state.signInAddress().isEmpty(), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(
            QFile::exists(bench.fake.callDir(bench.fake.callCount()) + "/waiting"), 20000);

        // Exactly one rclone waits, the second press's, and it started after the first ended.
        QList<QStringList> waiting;
        for (const auto &call : bench.fake.calls()) {
            if (!call.ended)
                waiting << call.arguments.mid(4);
        }
        QCOMPARE(waiting, (QList<QStringList>{{"drive", "drive"}}));
        QVERIFY(!bench.fake.overlapped());

        // "Cancelar" ends it and clears the panel; a withdrawn sign-in reports no failure.
        bench.state.cancelSignIn();
        QCOMPARE(bench.state.signInAddress(), QString());
        QVERIFY(finishAuthorizations());
        QVERIFY(bench.fake.calls().last().terminated);
        QCOMPARE(bench.state.failure(), QString());
        QCOMPARE(spiedTexts(changes), QStringList());
        // Each press still logs its result.
        QCOMPARE(linesStartingWith(out.lines(), "Resultado de autorizar ").size(), 2);
    }

    // rclone itself creates the 1Fichier remote; it needs no network for that.
    void realRcloneCreatesTheFichierRemote()
    {
        Bench bench(20, true);
        bench.select("1Fichier", {"", "", "k e y"});
        CapturedStdout out;
        QVERIFY(bench.press());

        const QString config = QString::fromUtf8(readFile(bench.fake.configPath()));
        QVERIFY2(config.contains("[fichier]\ntype = fichier\napi_key = k e y\n"),
                 qPrintable(config));
        QVERIFY(config.startsWith(QString::fromUtf8(RcloneConfigFile::defaultContent())));
        QCOMPARE(bench.state.mensaje(), QStringLiteral("✅ 1Fichier configurado correctamente"));
        QCOMPARE(bench.state.authorizedServices(), QSet<QString>{"1fichier"});
        QCOMPARE(bench.fake.callCount(), 0); // the fake was not the one run
        QCOMPARE(bench.fake.killallRuns(), QStringList{"rclone"});
    }
};

QTEST_GUILESS_MAIN(TestAuthorization)
#include "test_authorization.moc"
