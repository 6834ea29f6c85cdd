// SPDX-License-Identifier: MIT
#include "upload/RcClient.h"

#include "core/ListenerOwner.h"
#include "core/RcloneChild.h"
#include "core/RcloneCommands.h"
#include "core/RcloneRunner.h"
#include "upload/CopyJob.h"
#include "upload/RcConnection.h"
#include "upload/RclonePairStep.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonDocument>
#include <QProcess>
#include <QRandomGenerator>
#include <QTimer>

#include <algorithm>

namespace skyloft {

namespace {

constexpr int kStartTimeoutMs = 30000;
constexpr qsizetype kOutputTailBytes = 4096;

const QString kMethodCopy = QStringLiteral("operations/copyfile");
const QString kMethodLink = QStringLiteral("operations/publiclink");
const QString kExpire = QStringLiteral("expire");

QString randomSecret()
{
    QByteArray bytes(18, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(bytes.data()),
                                          bytes.size() / sizeof(quint32));
    return QString::fromLatin1(bytes.toBase64(QByteArray::Base64UrlEncoding));
}

// Settings of the user's environment that would hide or move the line rcd prints when it
// serves, or change its remote control: the daemon's are ours alone.
bool keepsOutOfDaemon(const QString &key)
{
    static const QStringList kExact = {
        QStringLiteral("RCLONE_QUIET"),    QStringLiteral("RCLONE_LOG_LEVEL"),
        QStringLiteral("RCLONE_LOG_FILE"), QStringLiteral("RCLONE_USE_JSON_LOG"),
        QStringLiteral("RCLONE_SYSLOG"),
    };
    return key.startsWith(QLatin1String("RCLONE_RC_")) || kExact.contains(key);
}

RcReply goneReply(const QString &why)
{
    RcReply reply;
    reply.error = why;
    reply.daemonGone = true;
    return reply;
}

} // namespace

struct RcClient::Call
{
    qint64 ticket = 0;
    QString method;
    QJsonObject params;
    RcReplyHandler onDone;
    std::function<void(const RcCopyStats &)> onProgress;
    int retriesLeft = kRetries;
    RcConnection *connection = nullptr; // while the request is out
    bool pausing = false;               // between a failure and the next try
    bool resent = false;                // sent again after a keep-alive connection closed
    // Copies: their statistics group and since when the request is out.
    QString group;
    QElapsedTimer out;
    bool statsAsked = false;
    // Links: the expiry was dropped after a refusal.
    bool expiryDropped = false;
};

QString RcReply::text() const
{
    return answer.isEmpty() ? error : rcAnswerText(answer);
}

RcClient::RcClient(RclonePaths paths, QObject *parent)
    : QObject(parent), m_paths(std::move(paths)), m_startTimer(new QTimer(this)),
      m_statsTimer(new QTimer(this))
{
    m_startTimer->setSingleShot(true);
    m_startTimer->setInterval(kStartTimeoutMs);
    connect(m_startTimer, &QTimer::timeout, this, [this] {
        if (m_state == Daemon::Starting)
            ready(QStringLiteral("❌ rclone rcd no responde: ") + lastDaemonLine());
    });
    m_statsTimer->setInterval(kStatsIntervalMs);
    connect(m_statsTimer, &QTimer::timeout, this, &RcClient::pollStats);
}

RcClient::~RcClient()
{
    stopAll();
}

void RcClient::whenReady(std::function<void(const QString &error)> onReady)
{
    switch (m_state) {
    case Daemon::Ready:
    case Daemon::Gone:
        QTimer::singleShot(
            0, this, [this, onReady] { onReady(m_state == Daemon::Ready ? QString() : m_error); });
        return;
    case Daemon::NotStarted:
        m_waiting << std::move(onReady);
        launch();
        return;
    case Daemon::Starting:
        m_waiting << std::move(onReady);
        return;
    }
}

void RcClient::launch()
{
    m_state = Daemon::Starting;
    m_output.clear();
    m_port = 0;
    const auto failLater = [this](const QString &error) {
        QTimer::singleShot(0, this, [this, error] { ready(error); });
    };
    const QString program = m_paths.globalRclonePath();
    if (program.isEmpty()) {
        failLater(kGlobalRclonePathVacio);
        return;
    }
    const QString user = randomSecret();
    const QString password = randomSecret();
    m_authorization = "Basic " + (user + QLatin1Char(':') + password).toUtf8().toBase64();
    RcloneEnvironment environment = makeRcloneEnvironment(m_paths);
    environment.removeIf([](const auto &entry) { return keepsOutOfDaemon(entry.key()); });
    environment.insert(QStringLiteral("RCLONE_RC_USER"), user);
    environment.insert(QStringLiteral("RCLONE_RC_PASS"), password);
    // rcd drops an answer not written within this time of its request (an hour by default):
    // a copy that takes longer would lose its answer and be done again.
    environment.insert(QStringLiteral("RCLONE_RC_SERVER_WRITE_TIMEOUT"), QStringLiteral("87600h"));
    if (!m_bandwidth.isEmpty())
        environment.insert(QStringLiteral("RCLONE_BWLIMIT"), m_bandwidth);

    m_daemon = startRcloneChild(
        this, program, RcloneCommands::remoteControl(), toProcessEnvironment(environment),
        QProcess::MergedChannels, [this](QProcess *process, const RcloneChildEnd &end) {
            if (process != m_daemon)
                return;
            if (!end.started) {
                m_daemon = nullptr;
                ready(QStringLiteral("❌ ") + kErrorEjecutandoRclone + end.error);
                return;
            }
            m_output.append(process->readAll());
            m_daemon = nullptr;
            daemonEnded(process, lastDaemonLine());
        });
    connect(m_daemon, &QProcess::readyReadStandardOutput, this, &RcClient::readDaemonOutput);
    m_startTimer->start();
}

void RcClient::readDaemonOutput()
{
    auto *process = qobject_cast<QProcess *>(sender());
    if (process != m_daemon)
        return;
    const qsizetype scanFrom = m_port ? -1 : m_output.lastIndexOf('\n') + 1;
    m_output.append(process->readAllStandardOutput());
    if (scanFrom >= 0) {
        for (const QByteArray &line : m_output.sliced(scanFrom).split('\n')) {
            const std::optional<quint16> port = rcServingPort(line);
            if (!port)
                continue;
            m_port = *port;
            // Whoever else listens there, or our child not at all: nothing is sent to it.
            const QString error =
                trusted() ? QString()
                          : QStringLiteral("❌ rclone rcd no es de confianza: quien escucha en "
                                           "127.0.0.1:%1 no es el proceso que Skyloft inició")
                                .arg(m_port);
            // Out of the process's own signal: what follows may end the process.
            QTimer::singleShot(0, this, [this, process, error] {
                if (process == m_daemon)
                    ready(error);
            });
            break;
        }
    }
    if (m_output.size() > kOutputTailBytes)
        m_output = m_output.right(kOutputTailBytes);
}

void RcClient::daemonEnded(QProcess *, const QString &why)
{
    if (m_state == Daemon::Starting)
        ready(QStringLiteral("❌ rclone rcd terminó sin responder: ") + why);
    else if (m_state == Daemon::Ready)
        lost(QStringLiteral("❌ rclone rcd terminó: ") + why);
}

void RcClient::ready(const QString &error)
{
    if (m_state != Daemon::Starting)
        return;
    m_startTimer->stop();
    if (!error.isEmpty()) {
        stopQuietly(std::exchange(m_daemon, nullptr));
        if (m_restarted) {
            m_state = Daemon::Ready; // lost() ends what a restart could not save
            lost(error);
        } else {
            m_state = Daemon::Gone;
            m_error = error;
            lost(error);
        }
    } else {
        m_state = Daemon::Ready;
        if (m_restarted)
            Q_EMIT daemonRestarted();
        const auto calls = m_calls.values();
        for (const std::shared_ptr<Call> &call : calls) {
            if (!call->connection && !call->pausing && m_calls.contains(call->ticket))
                send(call);
        }
    }
    const auto waiting = std::exchange(m_waiting, {});
    for (const auto &callback : waiting)
        callback(error);
}

void RcClient::lost(const QString &why)
{
    stopQuietly(std::exchange(m_daemon, nullptr));
    dropConnections();
    m_statsTimer->stop();
    if (m_state == Daemon::Ready && !m_restarted) {
        m_restarted = true;
        launch(); // the calls under way wait for it and go again
        return;
    }
    const bool wasServing = m_state == Daemon::Ready;
    m_state = Daemon::Gone;
    if (m_error.isEmpty())
        m_error = why;
    // One at a time, oldest first: a handler may cancel the others or stop everything.
    while (!m_calls.isEmpty()) {
        const QList<qint64> tickets = m_calls.keys();
        const std::shared_ptr<Call> call =
            m_calls.take(*std::min_element(tickets.cbegin(), tickets.cend()));
        if (call->onDone)
            call->onDone(goneReply(m_error));
    }
    if (wasServing)
        Q_EMIT daemonGone(m_error);
}

bool RcClient::trusted() const
{
    return m_daemon && isListenerOf(m_daemon->processId(), m_port);
}

qint64 RcClient::call(const QString &method, const QJsonObject &params, RcReplyHandler onReply)
{
    auto call = std::make_shared<Call>();
    call->method = method;
    call->params = params;
    call->onDone = std::move(onReply);
    return add(std::move(call));
}

qint64 RcClient::copyFile(const QString &filePath, const QString &remoteName,
                          const QString &remoteFileName,
                          std::function<void(const RcCopyStats &)> onProgress,
                          RcReplyHandler onDone)
{
    auto call = std::make_shared<Call>();
    call->ticket = ++m_lastTicket;
    call->group = QStringLiteral("skyloft/") + QString::number(call->ticket);
    call->method = kMethodCopy;
    call->params = {
        {QStringLiteral("srcFs"), QFileInfo(filePath).absolutePath()},
        {QStringLiteral("srcRemote"), lastPathComponent(filePath)},
        {QStringLiteral("dstFs"), remoteName + QLatin1Char(':')},
        {QStringLiteral("dstRemote"), remoteFileName},
        {QStringLiteral("_group"), call->group},
    };
    call->onProgress = std::move(onProgress);
    call->onDone = std::move(onDone);
    return add(std::move(call));
}

qint64 RcClient::publicLink(const QString &remoteName, const QString &remotePath,
                            const QString &expire, RcReplyHandler onDone)
{
    auto call = std::make_shared<Call>();
    call->method = kMethodLink;
    call->params = {{QStringLiteral("fs"), remoteName + QLatin1Char(':')},
                    {QStringLiteral("remote"), remotePath}};
    if (!expire.isEmpty()) {
        // A service that refused an expiry once is not asked again in this run.
        call->expiryDropped = m_refusesExpiry.contains(remoteName);
        if (!call->expiryDropped)
            call->params.insert(kExpire, expire);
    }
    call->onDone = std::move(onDone);
    return add(std::move(call));
}

qint64 RcClient::setBandwidthLimit(const QString &rate, RcReplyHandler onDone)
{
    const QString limit = rate.isEmpty() ? QStringLiteral("off") : rate;
    // A restarted daemon starts with it; a running one takes it now.
    m_bandwidth = limit == QLatin1String("off") ? QString() : limit;
    return call(QStringLiteral("core/bwlimit"), {{QStringLiteral("rate"), limit}},
                std::move(onDone));
}

qint64 RcClient::add(std::shared_ptr<Call> call)
{
    if (!call->ticket)
        call->ticket = ++m_lastTicket;
    m_calls.insert(call->ticket, call);
    send(call);
    return call->ticket;
}

void RcClient::send(const std::shared_ptr<Call> &call)
{
    switch (m_state) {
    case Daemon::NotStarted:
        launch();
        return;
    case Daemon::Starting:
        return; // sent once the daemon serves
    case Daemon::Gone:
        // Never from inside the caller's call.
        QTimer::singleShot(0, this, [this, ticket = call->ticket] {
            if (const std::shared_ptr<Call> call = m_calls.take(ticket); call && call->onDone)
                call->onDone(goneReply(m_error));
        });
        return;
    case Daemon::Ready:
        break;
    }
    RcConnection *connection = idleConnection();
    if (!connection)
        connection = new RcConnection(
            m_port, [this] { return trusted(); }, this);
    const QByteArray body = QJsonDocument(call->params).toJson(QJsonDocument::Compact);
    QByteArray request;
    request.reserve(200 + body.size());
    request +=
        "POST /" + call->method.toLatin1() +
        " HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(m_port) +
        "\r\nAuthorization: " + m_authorization +
        "\r\nContent-Type: application/json\r\nContent-Length: " + QByteArray::number(body.size()) +
        "\r\n\r\n" + body;
    call->connection = connection;
    connection->send(std::move(request), [this, call, connection](const RcExchange &exchange) {
        received(call, connection, exchange);
    });
    if (!call->group.isEmpty()) {
        call->out.start();
        if (!m_statsTimer->isActive())
            m_statsTimer->start();
    }
}

void RcClient::received(const std::shared_ptr<Call> &call, RcConnection *connection,
                        const RcExchange &exchange)
{
    call->connection = nullptr;
    if (exchange.kind == RcExchange::Kind::Answered && connection->isUsable()) {
        m_idle << connection;
    } else {
        connection->drop();
        connection->deleteLater();
    }
    const QString prefix = QStringLiteral("❌ rclone rc ") + call->method + QStringLiteral(": ");
    RcReply reply;
    switch (exchange.kind) {
    case RcExchange::Kind::Answered: {
        QJsonParseError parseError;
        const QJsonDocument document = QJsonDocument::fromJson(exchange.body, &parseError);
        reply.answer = document.object();
        reply.ok = exchange.status == 200 && document.isObject();
        if (reply.ok)
            break;
        const QString why = rcErrorText(reply.answer);
        if (!why.isEmpty())
            reply.error = prefix + why;
        else if (!document.isObject())
            reply.error =
                prefix + QStringLiteral("respuesta no válida (HTTP %1)").arg(exchange.status);
        else
            reply.error = prefix + QStringLiteral("HTTP %1").arg(exchange.status);
        failed(call, reply);
        return;
    }
    case RcExchange::Kind::Garbage:
        reply.error =
            prefix + QStringLiteral("respuesta no válida (") + exchange.why + QLatin1Char(')');
        failed(call, reply);
        return;
    case RcExchange::Kind::Untrusted:
        lost(QStringLiteral("❌ rclone rcd ya no escucha en 127.0.0.1:%1").arg(m_port));
        return;
    case RcExchange::Kind::Lost:
        if (!trusted()) {
            lost(QStringLiteral("❌ rclone rcd dejó de responder: ") + exchange.why);
            return;
        }
        // A kept-alive connection may close just as a request goes out: that is not a failure.
        if (exchange.silent && exchange.reused && !call->resent) {
            call->resent = true;
            send(call);
            return;
        }
        reply.error = prefix + exchange.why;
        failed(call, reply);
        return;
    }
    finish(call, reply);
}

void RcClient::failed(const std::shared_ptr<Call> &call, RcReply reply)
{
    if (call->method == kMethodLink && call->params.contains(kExpire)) {
        // Some services refuse an expiry (or any at all): the link is still worth having.
        call->params.remove(kExpire);
        call->expiryDropped = true;
    }
    if (call->retriesLeft <= 0) {
        finish(call, reply);
        return;
    }
    --call->retriesLeft;
    call->pausing = true;
    QTimer::singleShot(kRetryPauseMs, this, [this, ticket = call->ticket] {
        if (const std::shared_ptr<Call> call = m_calls.value(ticket)) {
            call->pausing = false;
            send(call);
        }
    });
}

void RcClient::finish(const std::shared_ptr<Call> &call, RcReply reply)
{
    if (!m_calls.remove(call->ticket))
        return;
    if (call->expiryDropped && reply.ok) {
        reply.expiryNotApplied = true;
        m_refusesExpiry.insert(call->params.value(QStringLiteral("fs")).toString().chopped(1));
    }
    if (call->onDone)
        call->onDone(reply);
}

RcConnection *RcClient::idleConnection()
{
    while (!m_idle.isEmpty()) {
        RcConnection *connection = m_idle.takeLast();
        if (connection->isUsable())
            return connection;
        connection->deleteLater();
    }
    return nullptr;
}

void RcClient::dropConnections()
{
    for (const std::shared_ptr<Call> &call : std::as_const(m_calls)) {
        if (call->connection) {
            call->connection->drop();
            call->connection->deleteLater();
            call->connection = nullptr;
        }
        call->statsAsked = false;
    }
    for (RcConnection *connection : std::exchange(m_idle, {})) {
        connection->drop();
        connection->deleteLater();
    }
}

void RcClient::cancel(qint64 ticket)
{
    const std::shared_ptr<Call> call = m_calls.take(ticket);
    if (!call || !call->connection)
        return;
    call->connection->drop();
    call->connection->deleteLater();
    call->connection = nullptr;
    // rclone stops a copy whose request is dropped; its group is stopped too, to be sure.
    if (!call->group.isEmpty()) {
        auto stop = std::make_shared<Call>();
        stop->method = QStringLiteral("job/stopgroup");
        stop->params = {{QStringLiteral("group"), call->group}};
        stop->retriesLeft = 0;
        add(std::move(stop));
    }
}

void RcClient::stopAll()
{
    m_waiting.clear();
    dropConnections();
    m_calls.clear();
    m_statsTimer->stop();
    m_startTimer->stop();
    stopQuietly(std::exchange(m_daemon, nullptr));
    m_state = Daemon::Gone;
    if (m_error.isEmpty())
        m_error = QStringLiteral("❌ rclone rcd se detuvo");
}

void RcClient::pollStats()
{
    bool copying = false;
    const auto calls = m_calls.values();
    for (const std::shared_ptr<Call> &copy : calls) {
        if (copy->group.isEmpty() || !copy->connection)
            continue;
        copying = true;
        // Small files are done before the first look: they never cost a statistics call.
        if (copy->statsAsked || copy->out.elapsed() < kStatsIntervalMs * 3 / 4)
            continue;
        copy->statsAsked = true;
        auto stats = std::make_shared<Call>();
        stats->method = QStringLiteral("core/stats");
        stats->params = {{QStringLiteral("group"), copy->group}};
        stats->retriesLeft = 0;
        stats->onDone = [this, ticket = copy->ticket](const RcReply &reply) {
            const std::shared_ptr<Call> copy = m_calls.value(ticket);
            if (!copy || !copy->connection)
                return;
            copy->statsAsked = false;
            if (const std::optional<RcCopyStats> stats = rcCopyStats(reply.answer);
                stats && copy->onProgress)
                copy->onProgress(*stats);
        };
        add(std::move(stats));
    }
    if (!copying)
        m_statsTimer->stop();
}

bool RcClient::isRunning() const
{
    return m_daemon && m_daemon->state() != QProcess::NotRunning;
}

qint64 RcClient::daemonPid() const
{
    return isRunning() ? m_daemon->processId() : 0;
}

QString RcClient::lastDaemonLine() const
{
    const QList<QByteArray> lines = m_output.trimmed().split('\n');
    return lines.isEmpty() ? QString() : QString::fromUtf8(lines.constLast().trimmed());
}

} // namespace skyloft
