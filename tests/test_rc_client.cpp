// SPDX-License-Identifier: MIT
// The remote-control client of "Subida rápida": rclone's answers read from captures of rclone
// 1.60.1, and a real `rclone rcd` started, called, refused without its credentials and ended.
#include "FakeRclone.h"

#include "upload/RcAnswers.h"
#include "upload/RcClient.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace skyloft;
using skyloft::test::readFile;
using skyloft::test::writeFile;

namespace {

QJsonObject captured(const QString &name)
{
    return QJsonDocument::fromJson(readFile(QStringLiteral(SKYLOFT_TEST_DATA_DIR "/") + name))
        .object();
}

// What each reading makes of an answer, in one line.
QString reading(const QString &kind, const QJsonObject &answer)
{
    if (kind == QLatin1String("stats")) {
        const std::optional<double> fraction = rcStatsFraction(answer);
        return fraction ? QString::number(*fraction, 'f', 3) : QStringLiteral("none");
    }
    if (kind == QLatin1String("status")) {
        const std::optional<RcJobStatus> status = rcJobStatus(answer);
        if (!status)
            return QStringLiteral("none: ") + rcErrorText(answer);
        return QStringLiteral("finished=%1 success=%2 error=%3")
            .arg(status->finished)
            .arg(status->success)
            .arg(status->error);
    }
    if (kind == QLatin1String("link")) {
        const std::optional<QString> link = rcPublicLink(answer);
        return link ? link->left(40) : QStringLiteral("none: ") + rcErrorText(answer);
    }
    const std::optional<qint64> id = rcJobId(answer);
    return id ? QString::number(*id) : QStringLiteral("none");
}

} // namespace

class TestRcClient : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;
    QTemporaryDir m_resources;

    RclonePaths paths() const { return RclonePaths(m_resources.path(), m_home.path()); }

    // Posts to the daemon by hand, with the given Authorization header, and returns the status.
    static int statusWithout(RcClient &client, const QByteArray &authorization)
    {
        QNetworkAccessManager network;
        network.setProxy(QNetworkProxy::NoProxy);
        QNetworkRequest request(client.address().resolved(QUrl(QStringLiteral("rc/noop"))));
        request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
        if (!authorization.isEmpty())
            request.setRawHeader("Authorization", authorization);
        QNetworkReply *reply = network.post(request, QByteArray("{}"));
        QSignalSpy finished(reply, &QNetworkReply::finished);
        if (!finished.wait(60000))
            return -1;
        reply->deleteLater();
        return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    }

    static bool startDaemon(RcClient &client, QString &error)
    {
        bool ready = false;
        client.start([&](const QString &why) {
            error = why;
            ready = true;
        });
        return QTest::qWaitFor([&] { return ready; }, 60000);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_home.isValid() && m_resources.isValid());
        QVERIFY(QFile::link(QStringLiteral(SKYLOFT_REAL_RCLONE),
                            m_resources.filePath(QStringLiteral("rclone"))));
        QVERIFY(QDir(m_home.path()).mkpath(QStringLiteral("destino")));
        QVERIFY(writeFile(m_home.filePath(QStringLiteral(".rclone.conf")),
                          "[destino]\ntype = alias\nremote = " +
                              m_home.filePath(QStringLiteral("destino")).toUtf8() + "\n"));
    }

    void readsCapturedAnswers_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("expected");
        QTest::newRow("an asynchronous copy gives its job id") << "jobid"
                                                               << "rc-copyfile-async.json"
                                                               << "2";
        QTest::newRow("a statistics answer before any byte moved is at zero")
            << "stats"
            << "rc-stats-starting.json"
            << "0.000";
        QTest::newRow("the group's bytes over its total bytes") << "stats"
                                                                << "rc-stats-40.json"
                                                                << "0.407";
        QTest::newRow("a transfer that is over is complete") << "stats"
                                                             << "rc-stats-done.json"
                                                             << "1.000";
        QTest::newRow("a group with nothing to move tells nothing") << "stats"
                                                                    << "rc-stats-nothing.json"
                                                                    << "none";
        QTest::newRow("a running job is not finished") << "status"
                                                       << "rc-status-running.json"
                                                       << "finished=0 success=0 error=";
        QTest::newRow("a finished job that succeeded") << "status"
                                                       << "rc-status-success.json"
                                                       << "finished=1 success=1 error=";
        QTest::newRow("a failed job carries rclone's error")
            << "status"
            << "rc-status-failed.json"
            << "finished=1 success=0 error=object not found";
        QTest::newRow("an unknown job is an error answer") << "status"
                                                           << "rc-status-unknown-job.json"
                                                           << "none: job not found";
        QTest::newRow("a public link") << "link"
                                       << "rc-publiclink.json"
                                       << "http://127.0.0.1:41843/skyloft-drive/big";
        QTest::newRow("no link for a missing object") << "link"
                                                      << "rc-publiclink-missing.json"
                                                      << "none: object not found";
    }

    void readsCapturedAnswers()
    {
        QFETCH(QString, kind);
        QFETCH(QString, file);
        QFETCH(QString, expected);
        const QJsonObject answer = captured(file);
        QVERIFY2(!answer.isEmpty(), qPrintable(file));
        QCOMPARE(reading(kind, answer), expected);
    }

    void theDaemonAnswersOnlyWithItsCredentials()
    {
        RcClient client(paths());
        QString error;
        QVERIFY(startDaemon(client, error));
        QCOMPARE(error, QString());
        QCOMPARE(client.address().host(), QStringLiteral("127.0.0.1"));
        QCOMPARE(statusWithout(client, {}), 401);
        QCOMPARE(statusWithout(client, "Basic " + QByteArray("skyloft:skyloft").toBase64()), 401);

        bool answered = false;
        RcReply reply;
        client.call(QStringLiteral("rc/noop"), {{QStringLiteral("a"), 1}}, [&](const RcReply &r) {
            reply = r;
            answered = true;
        });
        QTRY_VERIFY_WITH_TIMEOUT(answered, 60000);
        QVERIFY2(reply.ok, qPrintable(reply.error));
        QCOMPARE(reply.answer.value(QStringLiteral("a")).toInt(), 1);
    }

    // A copy under an awkward name lands byte for byte and reports 1.0 last; a missing file and a
    // remote without public links fail with rclone's reason; destroying the client ends rcd.
    void copiesLinksAndEndsWithItsOwner()
    {
        auto *client = new RcClient(paths());
        QString error;
        QVERIFY(startDaemon(*client, error));
        QCOMPARE(error, QString());
        const qint64 pid = client->daemonPid();
        QVERIFY(pid > 0);

        const QString name = QStringLiteral("l'Ñandú \"citado\" 1.bin");
        const QByteArray content(100000, 'x');
        const QString source = m_resources.filePath(name);
        QVERIFY(writeFile(source, content));

        const auto copy = [&](const QString &path, QList<double> &fractions) {
            std::optional<RcReply> done;
            client->copyFile(
                path, QStringLiteral("destino"), [&](double f) { fractions << f; },
                [&](const RcReply &reply) { done = reply; });
            return QTest::qWaitFor([&] { return done.has_value(); }, 60000) ? *done : RcReply{};
        };
        QList<double> fractions;
        RcReply reply = copy(source, fractions);
        QVERIFY2(reply.ok, qPrintable(reply.text()));
        QVERIFY(reply.answer.value(QStringLiteral("success")).toBool());
        QCOMPARE(fractions.last(), 1.0);
        QCOMPARE(readFile(m_home.filePath(QStringLiteral("destino/")) + name), content);

        fractions.clear();
        reply = copy(m_resources.filePath(QStringLiteral("no existe.bin")), fractions);
        QVERIFY(!reply.ok);
        QVERIFY2(reply.text().contains(QStringLiteral("not found")), qPrintable(reply.text()));
        QCOMPARE(fractions, QList<double>{1.0});

        std::optional<RcReply> link;
        client->publicLink(QStringLiteral("destino"), name, [&](const RcReply &r) { link = r; });
        QTRY_VERIFY_WITH_TIMEOUT(link.has_value(), 60000);
        QVERIFY(!link->ok);
        QVERIFY2(link->error.contains(QStringLiteral("public link")), qPrintable(link->error));

        delete client;
        QVERIFY2(::kill(pid_t(pid), 0) != 0, "rclone rcd outlived its client");
    }
};

QTEST_GUILESS_MAIN(TestRcClient)
#include "test_rc_client.moc"
