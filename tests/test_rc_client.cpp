// SPDX-License-Identifier: MIT
// The remote-control client: rclone's answers read from captures of rclone 1.60.1; a real
// `rclone rcd` started, trusted, called, killed and restarted; a listener that is not our child
// refused; and the calls' job behaviour against the fake daemon of tests/fakes/rcd.js.
#include "FakeRclone.h"

#include "core/ListenerOwner.h"
#include "upload/RcAnswers.h"
#include "upload/RcClient.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>

using namespace skyloft;
using skyloft::test::FakeRclone;
using skyloft::test::readFile;
using skyloft::test::writeFile;

namespace {

QByteArray dataFile(const QString &name)
{
    return readFile(QStringLiteral(SKYLOFT_TEST_DATA_DIR "/") + name);
}

// What each reading makes of a capture, in one line.
QString reading(const QString &kind, const QString &file)
{
    if (kind == QLatin1String("serving")) {
        const std::optional<quint16> port = rcServingPort(dataFile(file));
        return port ? QString::number(*port) : QStringLiteral("none");
    }
    if (kind.startsWith(QLatin1String("listeners on "))) {
        QStringList inodes;
        for (quint64 inode : listeningSocketInodes(dataFile(file), kind.sliced(13).toUShort()))
            inodes << QString::number(inode);
        return inodes.join(QLatin1Char(' '));
    }
    const QJsonObject answer = QJsonDocument::fromJson(dataFile(file)).object();
    if (kind == QLatin1String("stats")) {
        const std::optional<RcCopyStats> stats = rcCopyStats(answer);
        if (!stats)
            return QStringLiteral("none");
        return QStringLiteral("%1 of %2 at %3 B/s, %4 s left")
            .arg(stats->bytes)
            .arg(stats->size)
            .arg(qRound64(stats->speed))
            .arg(stats->eta);
    }
    const std::optional<QString> link = rcPublicLink(answer);
    return link ? link->left(40) : QStringLiteral("none: ") + rcErrorText(answer);
}

struct Replies
{
    QList<RcReply> list;
    RcReplyHandler handler()
    {
        return [this](const RcReply &reply) { list << reply; };
    }
};

bool waitUntilReady(RcClient &client, QString &error)
{
    bool called = false;
    client.whenReady([&](const QString &why) {
        error = why;
        called = true;
    });
    return QTest::qWaitFor([&] { return called; }, 60000);
}

// Whether rcd's port is free again: its threads have all gone, and their listener with them.
bool listenerClosed(quint16 port)
{
    return listeningSocketInodes(readFile(QStringLiteral("/proc/net/tcp")), port).isEmpty();
}

// Takes TCP connections and answers every request with a link of its own, as a squatter would.
class Squatter : public QTcpServer
{
public:
    QByteArray received;
    Squatter()
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    received += socket->readAll();
                    socket->write("HTTP/1.1 200 OK\r\nContent-Length: 36\r\n\r\n"
                                  "{\"url\": \"https://squatter.example/\"}");
                });
            }
        });
    }
};

} // namespace

class TestRcClient : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;
    QTemporaryDir m_resources;

    RclonePaths paths() const { return RclonePaths(m_resources.path(), m_home.path()); }
    QString destination(const QString &name) const
    {
        return m_home.filePath(QStringLiteral("destino/") + name);
    }

    // Posts to the daemon by hand with the given Authorization header; returns the status line.
    static QByteArray statusWith(quint16 port, const QByteArray &authorization)
    {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, port);
        socket.write(
            "POST /rc/noop HTTP/1.1\r\nHost: x\r\nContent-Length: 2\r\n" +
            (authorization.isEmpty() ? QByteArray() : "Authorization: " + authorization + "\r\n") +
            "Connection: close\r\n\r\n{}");
        QByteArray answer;
        while (socket.state() == QAbstractSocket::ConnectedState || socket.bytesAvailable() ||
               socket.state() == QAbstractSocket::ConnectingState) {
            socket.waitForReadyRead(60000);
            answer += socket.readAll();
        }
        return answer.left(answer.indexOf('\r'));
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

    void readsCapturedOutput_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("expected");
        QTest::newRow("rcd says where it serves") << "serving"
                                                  << "rcd-serving.txt"
                                                  << "37761";
        QTest::newRow("no port in another line") << "serving"
                                                 << "copy-missing-source.txt"
                                                 << "none";
        QTest::newRow("the socket listening on 127.0.0.1, not its connections")
            << "listeners on 37121"
            << "proc-net-tcp.txt"
            << "576652";
        QTest::newRow("a wildcard listener") << "listeners on 2024"
                                             << "proc-net-tcp.txt"
                                             << "1371";
        QTest::newRow("a port with connections only") << "listeners on 38904"
                                                      << "proc-net-tcp.txt"
                                                      << "";
        QTest::newRow("a copy on its way: its transfer's speed and rclone's estimate")
            << "stats"
            << "rc-stats-copying.json"
            << "6483968 of 50000000 at 5349798 B/s, 8 s left";
        QTest::newRow("before any byte moved") << "stats"
                                               << "rc-stats-starting.json"
                                               << "0 of 200000000 at 0 B/s, -1 s left";
        QTest::newRow("no estimate yet") << "stats"
                                         << "rc-stats-40.json"
                                         << "81489920 of 200000000 at 105042702 B/s, -1 s left";
        QTest::newRow("a transfer that is over keeps its totals")
            << "stats"
            << "rc-stats-done.json"
            << "200000000 of 200000000 at 61079262 B/s, 0 s left";
        QTest::newRow("a group with nothing to move has no size") << "stats"
                                                                  << "rc-stats-nothing.json"
                                                                  << "0 of -1 at 0 B/s, -1 s left";
        QTest::newRow("a link is not statistics") << "stats"
                                                  << "rc-publiclink.json"
                                                  << "none";
        QTest::newRow("a public link") << "link"
                                       << "rc-publiclink.json"
                                       << "http://127.0.0.1:41843/skyloft-drive/big";
        QTest::newRow("no link for a missing object") << "link"
                                                      << "rc-publiclink-missing.json"
                                                      << "none: object not found";
    }

    void readsCapturedOutput()
    {
        QFETCH(QString, kind);
        QFETCH(QString, file);
        QFETCH(QString, expected);
        QCOMPARE(reading(kind, file), expected);
    }

    // The real rclone binds a port itself, nothing useful shows in its command line, and it
    // answers only with the credentials it was given; long answers come in chunks.
    void theDaemonIsPrivate()
    {
        RcClient client(paths());
        QString error;
        QVERIFY(waitUntilReady(client, error));
        QCOMPARE(error, QString());
        const QList<QByteArray> commandLine =
            readFile(QStringLiteral("/proc/%1/cmdline").arg(client.daemonPid())).split('\0');
        QCOMPARE(commandLine.mid(1), (QList<QByteArray>{"rcd", "--rc-addr", "127.0.0.1:0", ""}));
        QCOMPARE(statusWith(client.port(), {}), "HTTP/1.1 401 Unauthorized");
        QCOMPARE(statusWith(client.port(), "Basic " + QByteArray("skyloft:skyloft").toBase64()),
                 "HTTP/1.1 401 Unauthorized");

        Replies replies;
        client.call(QStringLiteral("rc/list"), {}, replies.handler());
        QTRY_COMPARE_WITH_TIMEOUT(replies.list.size(), 1, 60000);
        QVERIFY2(replies.list[0].ok, qPrintable(replies.list[0].error));
        QVERIFY(replies.list[0].answer.value(QStringLiteral("commands")).toArray().size() > 50);
    }

    // A copy under another remote name lands byte for byte; a missing file and a remote without
    // public links fail with rclone's reason; destroying the client ends rcd.
    void copiesLinksAndEndsWithItsOwner()
    {
        auto *client = new RcClient(paths());
        const QString name = QStringLiteral("l'Ñandú \"citado\" 1.bin");
        const QByteArray content(100000, 'x');
        QVERIFY(writeFile(m_resources.filePath(name), content));

        Replies replies;
        client->copyFile(m_resources.filePath(name), QStringLiteral("destino"),
                         QStringLiteral("l'Ñandú (2).bin"), {}, replies.handler());
        client->copyFile(m_resources.filePath(QStringLiteral("no existe.bin")),
                         QStringLiteral("destino"), QStringLiteral("no existe.bin"), {},
                         replies.handler());
        client->publicLink(QStringLiteral("destino"), name, QString(), replies.handler());
        QTRY_COMPARE_WITH_TIMEOUT(replies.list.size(), 3, 60000);
        const qint64 pid = client->daemonPid();
        QVERIFY(pid > 0);

        std::sort(replies.list.begin(), replies.list.end(),
                  [](const RcReply &a, const RcReply &b) { return a.error < b.error; });
        QVERIFY2(replies.list[0].ok, qPrintable(replies.list[0].error));
        QCOMPARE(readFile(destination(QStringLiteral("l'Ñandú (2).bin"))), content);
        QVERIFY2(
            replies.list[1].error.startsWith(QStringLiteral("❌ rclone rc operations/copyfile: ")) &&
                replies.list[1].error.contains(QStringLiteral("not found")),
            qPrintable(replies.list[1].error));
        QVERIFY2(replies.list[2].error.contains(QStringLiteral("public link")),
                 qPrintable(replies.list[2].error));
        QVERIFY(!replies.list[1].daemonGone && !replies.list[2].daemonGone);

        delete client;
        QVERIFY2(::kill(pid_t(pid), 0) != 0, "rclone rcd outlived its client");
    }

    // A slow copy is cancelled for good. Killed during a slow copy, rcd is started again with the
    // same bandwidth limit and the copy and a call made meanwhile go again; killed a second
    // time, the copy and every later call end as "daemon gone".
    void survivesOneDeathButNotTwo()
    {
        const QByteArray content(6 * 1024 * 1024, 'b');
        QVERIFY(writeFile(m_resources.filePath(QStringLiteral("grande.bin")), content));
        RcClient client(paths());
        QSignalSpy restarted(&client, &RcClient::daemonRestarted);
        QSignalSpy gone(&client, &RcClient::daemonGone);
        Replies limits;
        client.setBandwidthLimit(QStringLiteral("1M"), limits.handler());

        // A copy cancelled on its way is stopped in rclone and leaves nothing behind.
        qint64 moved = 0;
        Replies cancelled;
        const qint64 ticket = client.copyFile(
            m_resources.filePath(QStringLiteral("grande.bin")), QStringLiteral("destino"),
            QStringLiteral("cancelada.bin"), [&](const RcCopyStats &stats) { moved = stats.bytes; },
            cancelled.handler());
        QTRY_VERIFY_WITH_TIMEOUT(moved > 0, 60000);
        client.cancel(ticket);
        const auto transfers = [&]() -> qsizetype {
            Replies stats;
            client.call(QStringLiteral("core/stats"),
                        {{QStringLiteral("group"), QStringLiteral("skyloft/%1").arg(ticket)}},
                        stats.handler());
            if (!QTest::qWaitFor([&] { return !stats.list.isEmpty(); }, 60000))
                return -1;
            return stats.list[0].answer.value(QStringLiteral("transferring")).toArray().size();
        };
        QTRY_COMPARE_WITH_TIMEOUT(transfers(), 0, 60000);
        QTRY_COMPARE_WITH_TIMEOUT(
            QDir(destination(QString())).entryList({QStringLiteral("cancelada*")}), QStringList(),
            60000);
        QVERIFY(cancelled.list.isEmpty());

        const auto killDuringCopy = [&](const QString &name, Replies &copy) {
            qint64 moved = 0;
            client.copyFile(
                m_resources.filePath(QStringLiteral("grande.bin")), QStringLiteral("destino"), name,
                [&](const RcCopyStats &stats) { moved = stats.bytes; }, copy.handler());
            return QTest::qWaitFor([&] { return moved > 0; }, 60000) &&
                   ::kill(pid_t(client.daemonPid()), SIGKILL) == 0;
        };

        Replies first, early;
        QVERIFY(killDuringCopy(QStringLiteral("primera.bin"), first));
        // Asked before the client has seen the death.
        client.publicLink(QStringLiteral("destino"), QStringLiteral("secreto.bin"), QString(),
                          early.handler());
        QVERIFY(restarted.wait(60000));
        Replies query;
        client.call(QStringLiteral("core/bwlimit"), {}, query.handler());
        QTRY_COMPARE_WITH_TIMEOUT(query.list.size(), 1, 60000);
        QCOMPARE(query.list[0].answer.value(QStringLiteral("rate")).toString(), "1Mi");
        client.setBandwidthLimit(QStringLiteral("off"), limits.handler());
        QTRY_COMPARE_WITH_TIMEOUT(first.list.size(), 1, 60000);
        QVERIFY2(first.list[0].ok, qPrintable(first.list[0].error));
        QCOMPARE(readFile(destination(QStringLiteral("primera.bin"))), content);
        QTRY_COMPARE_WITH_TIMEOUT(early.list.size(), 1, 60000);
        QVERIFY2(early.list[0].error.contains(QStringLiteral("public link")),
                 qPrintable(early.list[0].text()));

        client.setBandwidthLimit(QStringLiteral("1M"), limits.handler());
        Replies second;
        QVERIFY(killDuringCopy(QStringLiteral("segunda.bin"), second));
        QTRY_COMPARE_WITH_TIMEOUT(second.list.size(), 1, 60000);
        QVERIFY(second.list[0].daemonGone);
        QCOMPARE(gone.size(), 1);
        Replies later;
        client.publicLink(QStringLiteral("destino"), QStringLiteral("primera.bin"), QString(),
                          later.handler());
        QTRY_COMPARE_WITH_TIMEOUT(later.list.size(), 1, 60000);
        QVERIFY(later.list[0].daemonGone && !later.list[0].ok);
        QCOMPARE(restarted.size(), 1);
        for (const RcReply &reply : std::as_const(limits.list))
            QVERIFY2(reply.ok || reply.daemonGone, qPrintable(reply.error));
    }

    // A child that claims to serve at an address where a process of ours listens is refused:
    // the address hears nothing, no call gets its link, and the child is ended.
    void refusesAListenerThatIsNotItsChild()
    {
        FakeRclone fake;
        QVERIFY(fake.isValid());
        Squatter squatter;
        QVERIFY(squatter.listen(QHostAddress::LocalHost, 0));
        fake.setHandler(QStringLiteral("echo 'NOTICE: Serving remote control on "
                                       "http://127.0.0.1:%1/' >&2; exec sleep 600")
                            .arg(squatter.serverPort()));
        RcClient client(fake.paths());
        Replies links;
        qint64 second = 0;
        // The first to hear that there is no daemon cancels the second, which then hears nothing.
        const auto cancelSecond = [&](const RcReply &reply) {
            links.list << reply;
            client.cancel(second);
        };
        client.publicLink(QStringLiteral("drive"), QStringLiteral("a.txt"), QString(),
                          cancelSecond);
        second = client.publicLink(QStringLiteral("drive"), QStringLiteral("b.txt"), QString(),
                                   cancelSecond);
        QString error;
        QVERIFY(waitUntilReady(client, error));
        QCOMPARE(error, QStringLiteral("❌ rclone rcd no es de confianza: quien escucha en "
                                       "127.0.0.1:%1 no es el proceso que Skyloft inició")
                            .arg(squatter.serverPort()));
        QTRY_COMPARE_WITH_TIMEOUT(links.list.size(), 1, 60000);
        QVERIFY(links.list[0].daemonGone && !links.list[0].ok);
        QCoreApplication::processEvents();
        QCOMPARE(links.list.size(), 1);
        QVERIFY(!client.isRunning());
        QTRY_VERIFY(::kill(pid_t(fake.pidOf(1)), 0) != 0);
        QCOMPARE(squatter.received, QByteArray());
        QVERIFY(!squatter.hasPendingConnections());
    }

    // A daemon that stops listening while it still runs, its port taken by someone else: the
    // next call is not sent there but to a new daemon.
    void refusesAListenerThatTakesOverTheAddress()
    {
        FakeRclone fake;
        QVERIFY(fake.isValid());
        fake.serveFakeDaemon(QStringLiteral(R"((method, params, answer, state) => {
            if (method === 'deja/de/escuchar')
                // Kept running: a timer holds node up once the server is closed.
                return (setInterval(() => {}, 100000), state.server.close(),
                    answer.raw('HTTP/1.1 200 OK\r\n' +
                    'Content-Length: 2\r\nConnection: close\r\n\r\n{}'), true);
        })"));
        RcClient client(fake.paths());
        QSignalSpy restarted(&client, &RcClient::daemonRestarted);
        Replies replies;
        client.call(QStringLiteral("deja/de/escuchar"), {}, replies.handler());
        QTRY_COMPARE_WITH_TIMEOUT(replies.list.size(), 1, 60000);
        const quint16 port = client.port();
        QTRY_VERIFY_WITH_TIMEOUT(listenerClosed(port), 60000);
        Squatter squatter;
        QVERIFY(squatter.listen(QHostAddress::LocalHost, port));

        client.publicLink(QStringLiteral("drive"), QStringLiteral("secreto.txt"), QString(),
                          replies.handler());
        QTRY_COMPARE_WITH_TIMEOUT(replies.list.size(), 2, 60000);
        QCOMPARE(replies.list[1].answer.value(QStringLiteral("url")),
                 "https://enlace.example/secreto.txt");
        QCOMPARE(restarted.size(), 1);
        QCOMPARE(fake.callCount(), 2);
        QCOMPARE(squatter.received, QByteArray());
    }

    // An rclone that cannot serve: its own last line is the reason, and the settings that could
    // hide the line it prints when it serves never reach it.
    void reportsAFailedStart()
    {
        FakeRclone fake;
        QVERIFY(fake.isValid());
        fake.setHandler(QStringLiteral(
            "echo 'Failed to start remote control: start server failed: bind: no way' >&2; "
            "exit 1"));
        qputenv("RCLONE_LOG_LEVEL", "ERROR");
        RcClient client(fake.paths());
        QString error;
        QVERIFY(waitUntilReady(client, error));
        qunsetenv("RCLONE_LOG_LEVEL");
        QCOMPARE(error, QStringLiteral("❌ rclone rcd terminó sin responder: Failed to start "
                                       "remote control: start server failed: bind: no way"));
        const FakeRclone::Call call = fake.calls().value(0);
        QCOMPARE(call.arguments, (QStringList{"rcd", "--rc-addr", "127.0.0.1:0"}));
        QVERIFY(!call.environment.value(QStringLiteral("RCLONE_RC_PASS")).isEmpty());
        QVERIFY(!call.environment.contains(QStringLiteral("RCLONE_LOG_LEVEL")));
        QCOMPARE(fake.callCount(), 1);
    }

    // Each call is a job: a failure is tried twice more, a refused expiry still gives the link
    // (and is not asked again of that service), garbage is an error, and a cancelled copy is
    // stopped in the daemon and never answers, after it reported its own group's progress.
    void callsBehaveAsJobs()
    {
        FakeRclone fake;
        QVERIFY(fake.isValid());
        fake.serveFakeDaemon(QStringLiteral(R"((method, params, answer) => {
            if (method === 'operations/copyfile' && params.srcRemote === 'falla.txt')
                return answer(500, {error: 'sin sitio', status: 500}) || true;
            if (method === 'operations/copyfile' && params.srcRemote === 'lenta.txt')
                return true;
            if (method === 'core/stats')
                return answer(200, {bytes: 5, speed: 1, eta: null, transferring: [
                    {group: params.group, bytes: 5, size: 10, speed: 2, eta: 3}]}) || true;
            if (method === 'operations/publiclink' && params.expire)
                return answer(500, {error: 'expiry not supported', status: 500}) || true;
            if (method === 'rc/noop')
                return answer.raw('basura\r\n\r\n') || true;
        })"));
        RcClient client(fake.paths());
        Replies failing, links, garbage, slow;
        client.copyFile(QStringLiteral("/tmp/falla.txt"), QStringLiteral("drive"),
                        QStringLiteral("falla.txt"), {}, failing.handler());
        client.publicLink(QStringLiteral("drive"), QStringLiteral("a.txt"), QStringLiteral("7d"),
                          links.handler());
        client.call(QStringLiteral("rc/noop"), {}, garbage.handler());
        QList<RcCopyStats> progress;
        const qint64 ticket = client.copyFile(
            QStringLiteral("/tmp/lenta.txt"), QStringLiteral("drive"), QStringLiteral("lenta.txt"),
            [&](const RcCopyStats &stats) { progress << stats; }, slow.handler());

        QTRY_COMPARE_WITH_TIMEOUT(failing.list.size(), 1, 60000);
        QCOMPARE(failing.list[0].error,
                 QStringLiteral("❌ rclone rc operations/copyfile: sin sitio"));
        QTRY_COMPARE_WITH_TIMEOUT(links.list.size(), 1, 60000);
        QCOMPARE(links.list[0].answer.value(QStringLiteral("url")), "https://enlace.example/a.txt");
        QVERIFY(links.list[0].expiryNotApplied);
        client.publicLink(QStringLiteral("drive"), QStringLiteral("b.txt"), QStringLiteral("7d"),
                          links.handler());
        QTRY_COMPARE_WITH_TIMEOUT(links.list.size(), 2, 60000);
        QVERIFY(links.list[1].ok && links.list[1].expiryNotApplied);
        QTRY_COMPARE_WITH_TIMEOUT(garbage.list.size(), 1, 60000);
        QVERIFY2(garbage.list[0].error.startsWith(
                     QStringLiteral("❌ rclone rc rc/noop: respuesta no válida")),
                 qPrintable(garbage.list[0].error));
        QVERIFY(!garbage.list[0].daemonGone);

        QTRY_VERIFY_WITH_TIMEOUT(!progress.isEmpty(), 60000);
        QCOMPARE(progress[0].bytes, 5);
        QCOMPARE(progress[0].size, 10);
        QCOMPARE(progress[0].eta, 3);
        client.cancel(ticket);
        const auto requested = [&](const QString &method) {
            QStringList seen;
            for (const QJsonObject &request : fake.daemonRequests()) {
                if (request.value(QStringLiteral("method")) == method)
                    seen << QString::fromUtf8(
                        QJsonDocument(request.value(QStringLiteral("params")).toObject())
                            .toJson(QJsonDocument::Compact) +
                        (request.contains(QStringLiteral("aborted")) ? " aborted" : ""));
            }
            return seen;
        };
        QTRY_COMPARE_WITH_TIMEOUT(requested(QStringLiteral("job/stopgroup")).size(), 1, 60000);
        const QString group = QStringLiteral("skyloft/%1").arg(ticket);
        QCOMPARE(requested(QStringLiteral("job/stopgroup")),
                 QStringList{QStringLiteral("{\"group\":\"%1\"}").arg(group)});
        QTRY_VERIFY_WITH_TIMEOUT(requested(QStringLiteral("operations/copyfile"))
                                     .last()
                                     .endsWith(QStringLiteral(" aborted")),
                                 60000);
        QCoreApplication::processEvents();
        QVERIFY(slow.list.isEmpty());

        QCOMPARE(requested(QStringLiteral("operations/copyfile")).filter("falla.txt").size(), 3);
        QCOMPARE(requested(QStringLiteral("rc/noop")).filter(QStringLiteral("aborted")).size(), 3);
        QCOMPARE(requested(QStringLiteral("operations/publiclink")),
                 (QStringList{"{\"expire\":\"7d\",\"fs\":\"drive:\",\"remote\":\"a.txt\"}",
                              "{\"fs\":\"drive:\",\"remote\":\"a.txt\"}",
                              "{\"fs\":\"drive:\",\"remote\":\"b.txt\"}"}));
    }
};

QTEST_GUILESS_MAIN(TestRcClient)
#include "test_rc_client.moc"
