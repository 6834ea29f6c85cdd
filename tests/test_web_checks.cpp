// SPDX-License-Identifier: MIT
#include "CapturedStdout.h"
#include "ScriptedHttpServer.h"
#include "TestHelpers.h"

#include "checks/VersionNumber.h"
#include "checks/WebChecks.h"

#include <QSignalSpy>
#include <QTest>

using namespace skyloft;
using skyloft::test::CapturedStdout;
using skyloft::test::drainEvents;
using skyloft::test::refusingUrl;
using skyloft::test::ScriptedHttpServer;

class TestWebChecks : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void versionComparison_data()
    {
        QTest::addColumn<QString>("published");
        QTest::addColumn<bool>("newer");

        QTest::newRow("a later patch is newer") << "1.0.1" << true;
        QTest::newRow("a later minor with fewer components is newer") << "1.1" << true;
        QTest::newRow("a later major alone is newer") << "2" << true;
        QTest::newRow("the same version is not newer") << "1.0.0" << false;
        QTest::newRow("a shorter equal prefix is not newer") << "1.0" << false;
        QTest::newRow("an extra component past ours is ignored") << "1.0.0.1" << false;
        QTest::newRow("an older version is not newer") << "0.9.9" << false;
        QTest::newRow("a leading letter makes the major 0") << "v2.0" << false;
        QTest::newRow("a plus sign is allowed") << "+2" << true;
        QTest::newRow("empty components are dropped") << "1..1" << true;
        QTest::newRow("leading and trailing dots are dropped") << ".1.0.1." << true;
        QTest::newRow("an empty text has nothing to compare") << "" << false;
        QTest::newRow("a negative component is smaller") << "1.-1" << false;
        QTest::newRow("a lone sign counts as 0, not as nothing") << "1.0.+.1" << false;
        QTest::newRow("white space makes a component 0") << " 2.0" << false;
        QTest::newRow("a component past 64 bits counts as 0") << "99999999999999999999" << false;
    }

    void versionComparison()
    {
        QFETCH(QString, published);
        QFETCH(bool, newer);
        QCOMPARE(isNewerVersion(QStringLiteral("1.0.0"), published), newer);
    }

    void connectivity_data()
    {
        // Paths on the test server; an empty one is an address where nothing listens.
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("alert");

        const QString verified = QStringLiteral("✅ Conexión a Internet verificada");
        QTest::newRow("200 is a connection") << "/200" << verified << false;
        QTest::newRow("a redirect to a 200 is followed") << "/moved" << verified << false;
        QTest::newRow("204 is not a connection") << "/204"
                                                 << "❌ Conexión fallida con código: 204" << true;
        QTest::newRow("a refused connection")
            << ""
            << "❌ No hay conexión a Internet: Connection refused" << true;
        QTest::newRow("no answer within five seconds")
            << "/silent"
            << "❌ No hay conexión a Internet: Operation canceled" << true;
    }

    void connectivity()
    {
        QFETCH(QString, path);
        QFETCH(QString, line);
        QFETCH(bool, alert);

        ScriptedHttpServer server;
        for (const int status : {200, 204})
            server.answer(u'/' + QString::number(status), status, {});
        server.answer(QStringLiteral("/moved"), 302, {}, "Location: /200\r\n");
        WebChecks checks({path.isEmpty() ? refusingUrl() : server.url(path), server.url()});
        QSignalSpy noConnection(&checks, &WebChecks::noConnection);
        CapturedStdout out;

        checks.checkConnectivity();
        QTRY_COMPARE_WITH_TIMEOUT(out.lines(), QStringList{line}, 60000);
        QCOMPARE(noConnection.size(), alert ? 1 : 0);
        QCOMPARE(checks.requestsInFlight(), 0);
    }

    void update_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("offered");

        QTest::newRow("a newer version is offered")
            << 200 << QByteArray(R"({"version": "1.2.0", "notas": "x"})") << QStringList{}
            << "1.2.0";
        QTest::newRow("the same version is silent")
            << 200 << QByteArray(R"({"version": "1.0.0"})") << QStringList{} << "";
        QTest::newRow("a version that is a number is silent")
            << 200 << QByteArray(R"({"version": 2})") << QStringList{} << "";
        QTest::newRow("a document without a version is silent")
            << 200 << QByteArray(R"({"versión": "2.0"})") << QStringList{} << "";
        QTest::newRow("a list is silent") << 200 << QByteArray(R"(["2.0"])") << QStringList{} << "";
        QTest::newRow("a body that is not JSON")
            << 200 << QByteArray("<html>2.0</html>")
            << QStringList{"❌ Error al procesar los datos de la versión: illegal value"} << "";
        QTest::newRow("an empty body")
            << 200 << QByteArray()
            << QStringList{"❌ No se recibieron datos al verificar actualizaciones."} << "";
        QTest::newRow("the status is not examined")
            << 404 << QByteArray(R"({"version": "2.0"})") << QStringList{} << "2.0";
    }

    void update()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QStringList, lines);
        QFETCH(QString, offered);

        ScriptedHttpServer server;
        server.answer(QStringLiteral("/version.json"), status, body);
        // A trailing slash on the site does not double the one of the path.
        WebChecks checks({server.url(QStringLiteral("/silent")), server.url(QStringLiteral("/"))});
        QSignalSpy updateAvailable(&checks, &WebChecks::updateAvailable);
        CapturedStdout out;

        checks.checkForUpdate();
        QCOMPARE(checks.requestsInFlight(), 1);
        QTRY_COMPARE(checks.requestsInFlight(), 0);
        QCOMPARE(out.lines(), lines);
        QCOMPARE(server.requests(), QStringList{"GET /version.json"});
        QCOMPARE(updateAvailable.size(), offered.isEmpty() ? 0 : 1);
        if (!offered.isEmpty())
            QCOMPARE(updateAvailable.at(0).at(0).toString(), offered);
    }

    void updateFailures()
    {
        CapturedStdout out;
        WebChecks unparsable({refusingUrl(), QStringLiteral("http://[::1")});
        unparsable.checkForUpdate();
        QCOMPARE(unparsable.requestsInFlight(), 0);
        QCOMPARE(out.lines(), QStringList{"❌ URL inválida para verificar actualizaciones."});
        QVERIFY(!unparsable.downloadUrl().isValid());

        WebChecks unreachable({refusingUrl(), refusingUrl()});
        QSignalSpy updateAvailable(&unreachable, &WebChecks::updateAvailable);
        unreachable.checkForUpdate();
        QTRY_COMPARE(out.lines().size(), 2);
        QCOMPARE(out.lines().last(),
                 QStringLiteral("❌ Error al verificar actualizaciones: Connection refused"));
        QCOMPARE(updateAvailable.size(), 0);
    }

    void addresses()
    {
        qunsetenv("SKYLOFT_CONNECTIVITY_URL");
        qunsetenv("SKYLOFT_SITE_URL");
        const WebAddresses built = WebAddresses::fromEnvironment();
        QCOMPARE(built.connectivity, QStringLiteral(SKYLOFT_CONNECTIVITY_URL));
        QCOMPARE(built.site, QStringLiteral(SKYLOFT_SITE_URL));
        QCOMPARE(WebChecks(built).downloadUrl(), QUrl(SKYLOFT_SITE_URL "/descargar"));

        qputenv("SKYLOFT_CONNECTIVITY_URL", "http://127.0.0.1:9/");
        qputenv("SKYLOFT_SITE_URL", "http://127.0.0.1:9/skyloft/");
        const WebAddresses overridden = WebAddresses::fromEnvironment();
        qunsetenv("SKYLOFT_CONNECTIVITY_URL");
        qunsetenv("SKYLOFT_SITE_URL");
        QCOMPARE(overridden.connectivity, QStringLiteral("http://127.0.0.1:9/"));
        QCOMPARE(WebChecks(overridden).downloadUrl(),
                 QUrl(QStringLiteral("http://127.0.0.1:9/skyloft/descargar")));
    }

    void answersOutliveTheirCaller()
    {
        ScriptedHttpServer server;
        server.answer(QStringLiteral("/status"), 404, {});
        CapturedStdout out;

        // The caller goes before the answer comes: the request still runs and prints, and the
        // report is dropped with the caller.
        WebChecks checks({server.url(QStringLiteral("/status")), server.url()});
        bool reported = false;
        auto *caller = new QObject;
        connect(&checks, &WebChecks::noConnection, caller, [&reported] { reported = true; });
        checks.checkConnectivity();
        delete caller;
        QTRY_COMPARE(out.lines(), QStringList{"❌ Conexión fallida con código: 404"});
        QVERIFY(!reported);

        // Checks destroyed with a request in flight leave nothing behind to answer.
        auto *gone = new WebChecks({server.url(QStringLiteral("/silent")), {}});
        gone->checkConnectivity();
        QTRY_COMPARE(server.requests().size(), 2);
        delete gone;
        drainEvents();
        QCOMPARE(out.lines().size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestWebChecks)
#include "test_web_checks.moc"
