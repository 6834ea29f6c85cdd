// SPDX-License-Identifier: MIT
#include "upload/RcClient.h"

#include "core/RcloneChild.h"
#include "core/RcloneCommands.h"
#include "core/RcloneRunner.h"
#include "upload/CopyJob.h"
#include "upload/RcAnswers.h"
#include "upload/RclonePairStep.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QPointer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTimer>

#include <algorithm>

namespace skyloft {

namespace {

constexpr int kLaunchAttempts = 3;
constexpr int kReadyPollMs = 25;
constexpr int kReadyTimeoutMs = 30000;
constexpr int kFirstJobPollMs = 5;
constexpr int kStopGraceMs = 3000;
constexpr qsizetype kOutputTailBytes = 4096;

QString randomSecret()
{
    QByteArray bytes(18, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(bytes.data()),
                                          bytes.size() / sizeof(quint32));
    return QString::fromLatin1(bytes.toBase64(QByteArray::Base64UrlEncoding));
}

// A port the kernel reports free now; the daemon may still lose it to someone else, which the
// launch notices and answers with another port.
quint16 pickFreePort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

} // namespace

struct RcClient::CopyTask
{
    QString filePath;
    QString remoteName;
    std::function<void(double)> onProgress;
    RcReplyHandler onDone;
    int retriesLeft = kRetries;
    qint64 ticket = 0;
    qint64 jobId = -1;
    int pollDelayMs = 0;
    bool statsInFlight = false;
    bool ended = false;
    QPointer<QTimer> statsTimer;
};

QString RcReply::text() const
{
    return answer.isEmpty() ? error : rcAnswerText(answer);
}

RcClient::RcClient(RclonePaths paths, QObject *parent)
    : QObject(parent), m_paths(std::move(paths)), m_network(new QNetworkAccessManager(this))
{
    // The daemon is on this machine: a proxy from the environment must not stand between.
    m_network->setProxy(QNetworkProxy::NoProxy);
}

RcClient::~RcClient()
{
    // Replies aborted below must not call back into a half-destroyed client.
    for (QNetworkReply *reply : m_network->findChildren<QNetworkReply *>())
        reply->disconnect(this);
    stopQuietly(m_daemon);
}

void RcClient::start(std::function<void(const QString &error)> onReady)
{
    launch(kLaunchAttempts, std::move(onReady));
}

void RcClient::whenReady(std::function<void(const QString &error)> onReady)
{
    if (m_readiness == Readiness::Ready || m_readiness == Readiness::Failed) {
        QTimer::singleShot(0, this, [this, onReady] { onReady(m_startError); });
        return;
    }
    m_waiting << std::move(onReady);
    if (m_readiness == Readiness::Starting)
        return;
    m_readiness = Readiness::Starting;
    start([this](const QString &error) {
        m_readiness = error.isEmpty() ? Readiness::Ready : Readiness::Failed;
        m_startError = error;
        const auto waiting = std::exchange(m_waiting, {});
        for (const auto &callback : waiting)
            callback(error);
    });
}

void RcClient::launch(int attemptsLeft, std::function<void(const QString &)> onReady)
{
    const auto fail = [this, onReady](const QString &error) {
        QTimer::singleShot(0, this, [onReady, error] { onReady(error); });
    };
    const QString program = m_paths.globalRclonePath();
    if (program.isEmpty()) {
        fail(kGlobalRclonePathVacio);
        return;
    }
    const quint16 port = pickFreePort();
    if (port == 0) {
        fail(QStringLiteral("❌ No hay un puerto libre en 127.0.0.1 para rclone rcd"));
        return;
    }
    const QString user = randomSecret();
    const QString password = randomSecret();
    m_address = QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(port));
    m_authorization = "Basic " + (user + QLatin1Char(':') + password).toUtf8().toBase64();

    if (m_daemon)
        m_daemon->deleteLater();
    m_daemonOutputTail.clear();
    m_daemon = new QProcess(this);
    m_daemon->setProgram(program);
    m_daemon->setArguments(RcloneCommands::remoteControl(
        m_paths.rcloneConfigPath(), QStringLiteral("127.0.0.1:") + QString::number(port)));
    RcloneEnvironment environment = makeRcloneEnvironment(m_paths);
    // The daemon's remote-control settings are ours alone, not the user's RCLONE_RC_* ones.
    environment.removeIf(
        [](const auto &entry) { return entry.key().startsWith(QLatin1String("RCLONE_RC_")); });
    environment.insert(QStringLiteral("RCLONE_RC_USER"), user);
    environment.insert(QStringLiteral("RCLONE_RC_PASS"), password);
    m_daemon->setProcessEnvironment(toProcessEnvironment(environment));
    m_daemon->setProcessChannelMode(QProcess::MergedChannels);
    m_daemon->setStandardInputFile(QProcess::nullDevice());
    dieWithSkyloft(*m_daemon);
    QProcess *daemon = m_daemon;
    connect(daemon, &QProcess::readyReadStandardOutput, this, [this, daemon] {
        if (daemon != m_daemon)
            return;
        m_daemonOutputTail.append(daemon->readAllStandardOutput());
        if (m_daemonOutputTail.size() > kOutputTailBytes)
            m_daemonOutputTail = m_daemonOutputTail.right(kOutputTailBytes);
    });
    daemon->start();
    if (!daemon->waitForStarted(-1)) { // fork and exec only: it does not wait for rclone
        fail(QStringLiteral("❌ ") + kErrorEjecutandoRclone + daemon->errorString());
        return;
    }
    waitUntilAnswering(attemptsLeft - 1, std::move(onReady));
}

void RcClient::waitUntilAnswering(int attemptsLeft, std::function<void(const QString &)> onReady)
{
    auto since = std::make_shared<QElapsedTimer>();
    since->start();
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [this, attemptsLeft, onReady, since, poll] {
        if (!isRunning()) {
            *poll = nullptr; // breaks the cycle the function holds on itself
            if (attemptsLeft > 0) {
                launch(attemptsLeft, onReady);
                return;
            }
            onReady(QStringLiteral("❌ rclone rcd terminó sin responder: ") + daemonLastLine());
            return;
        }
        call(
            QStringLiteral("rc/noop"), {},
            [this, onReady, since, poll](const RcReply &reply) {
                if (reply.ok) {
                    *poll = nullptr;
                    onReady(QString());
                } else if (since->elapsed() > kReadyTimeoutMs) {
                    *poll = nullptr;
                    stop();
                    onReady(QStringLiteral("❌ rclone rcd no responde: ") + reply.error);
                } else {
                    QTimer::singleShot(kReadyPollMs, this, [poll] {
                        if (*poll)
                            (*poll)();
                    });
                }
            },
            0);
    };
    (*poll)();
}

void RcClient::call(const QString &method, const QJsonObject &params, RcReplyHandler onReply,
                    int retries)
{
    QNetworkRequest request(m_address.resolved(QUrl(method)));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
    request.setRawHeader("Authorization", m_authorization);
    QNetworkReply *reply =
        m_network->post(request, QJsonDocument(params).toJson(QJsonDocument::Compact));
    connect(reply, &QNetworkReply::finished, this, [this, reply, method, params, onReply, retries] {
        reply->deleteLater();
        RcReply result;
        const QJsonDocument document = QJsonDocument::fromJson(reply->readAll());
        result.answer = document.object();
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        result.ok =
            reply->error() == QNetworkReply::NoError && status == 200 && document.isObject();
        if (!result.ok) {
            const QString why = rcErrorText(result.answer);
            result.error = QStringLiteral("❌ rclone rc ") + method + QStringLiteral(": ") +
                           (why.isEmpty() ? reply->errorString() : why);
        }
        if (!result.ok && retries > 0 && isRunning()) {
            QTimer::singleShot(kRetryPauseMs, this, [this, method, params, onReply, retries] {
                call(method, params, onReply, retries - 1);
            });
            return;
        }
        onReply(result);
    });
}

qint64 RcClient::copyFile(const QString &filePath, const QString &remoteName,
                          std::function<void(double)> onProgress, RcReplyHandler onDone)
{
    auto task = std::make_shared<CopyTask>();
    task->ticket = ++m_lastTicket;
    m_copies.insert(task->ticket, task);
    task->filePath = filePath;
    task->remoteName = remoteName;
    task->onProgress = std::move(onProgress);
    task->onDone = std::move(onDone);
    startCopyJob(task);
    return task->ticket;
}

void RcClient::cancelCopy(qint64 ticket)
{
    const std::shared_ptr<CopyTask> task = m_copies.value(ticket);
    if (!task)
        return;
    task->retriesLeft = 0;
    if (task->jobId >= 0)
        call(QStringLiteral("job/stop"), {{QStringLiteral("jobid"), task->jobId}},
             [](const RcReply &) {});
}

void RcClient::startCopyJob(const std::shared_ptr<CopyTask> &task)
{
    const QString name = lastPathComponent(task->filePath);
    const QJsonObject params{
        {QStringLiteral("srcFs"), QFileInfo(task->filePath).absolutePath()},
        {QStringLiteral("srcRemote"), name},
        {QStringLiteral("dstFs"), task->remoteName + QLatin1Char(':')},
        {QStringLiteral("dstRemote"), name},
        {QStringLiteral("_async"), true},
    };
    // Retried as a whole below, so the call itself is tried once.
    call(
        QStringLiteral("operations/copyfile"), params,
        [this, task](const RcReply &reply) {
            const std::optional<qint64> jobId = rcJobId(reply.answer);
            if (!reply.ok || !jobId) {
                RcReply failed = reply;
                failed.ok = false;
                if (failed.error.isEmpty())
                    failed.error = QStringLiteral("❌ rclone rc operations/copyfile: sin jobid");
                endCopyJob(task, failed);
                return;
            }
            task->jobId = *jobId;
            task->pollDelayMs = 0;
            if (!task->statsTimer) {
                task->statsTimer = new QTimer(this);
                task->statsTimer->setInterval(kStatsIntervalMs);
                connect(task->statsTimer, &QTimer::timeout, this, [this, task] {
                    if (task->statsInFlight || task->ended)
                        return;
                    task->statsInFlight = true;
                    call(
                        QStringLiteral("core/stats"),
                        {{QStringLiteral("group"), rcJobGroup(task->jobId)}},
                        [task](const RcReply &stats) {
                            task->statsInFlight = false;
                            if (task->ended)
                                return;
                            if (const std::optional<double> fraction =
                                    rcStatsFraction(stats.answer))
                                task->onProgress(*fraction);
                        },
                        0);
                });
            }
            task->statsTimer->start();
            pollJob(task);
        },
        0);
}

void RcClient::pollJob(const std::shared_ptr<CopyTask> &task)
{
    call(QStringLiteral("job/status"), {{QStringLiteral("jobid"), task->jobId}},
         [this, task](const RcReply &reply) {
             if (task->ended)
                 return;
             const std::optional<RcJobStatus> status = rcJobStatus(reply.answer);
             if (!reply.ok || !status) {
                 endCopyJob(task, reply);
                 return;
             }
             if (status->finished) {
                 RcReply result = reply;
                 result.ok = status->success;
                 if (!status->success)
                     result.error =
                         QStringLiteral("❌ rclone rc operations/copyfile: ") + status->error;
                 endCopyJob(task, result);
                 return;
             }
             // Small files are done within milliseconds; large ones need not be asked often.
             task->pollDelayMs =
                 std::clamp(task->pollDelayMs * 2, kFirstJobPollMs, kStatsIntervalMs);
             QTimer::singleShot(task->pollDelayMs, this, [this, task] { pollJob(task); });
         });
}

void RcClient::endCopyJob(const std::shared_ptr<CopyTask> &task, const RcReply &reply)
{
    if (task->statsTimer)
        task->statsTimer->stop();
    if (!reply.ok && task->retriesLeft > 0 && isRunning()) {
        --task->retriesLeft;
        QTimer::singleShot(kRetryPauseMs, this, [this, task] { startCopyJob(task); });
        return;
    }
    task->ended = true;
    m_copies.remove(task->ticket);
    if (task->statsTimer)
        task->statsTimer->deleteLater();
    task->onProgress(1.0);
    task->onDone(reply);
}

void RcClient::publicLink(const QString &remoteName, const QString &fileName, RcReplyHandler onDone)
{
    call(QStringLiteral("operations/publiclink"),
         {{QStringLiteral("fs"), remoteName + QLatin1Char(':')},
          {QStringLiteral("remote"), fileName}},
         std::move(onDone));
}

void RcClient::stop()
{
    if (!isRunning())
        return;
    m_daemon->terminate();
    QTimer::singleShot(kStopGraceMs, m_daemon, [daemon = QPointer<QProcess>(m_daemon)] {
        if (daemon)
            daemon->kill();
    });
}

bool RcClient::isRunning() const
{
    return m_daemon && m_daemon->state() != QProcess::NotRunning;
}

qint64 RcClient::daemonPid() const
{
    return isRunning() ? m_daemon->processId() : 0;
}

QString RcClient::daemonLastLine() const
{
    const QList<QByteArray> lines = m_daemonOutputTail.trimmed().split('\n');
    return lines.isEmpty() ? QString() : QString::fromUtf8(lines.constLast().trimmed());
}

} // namespace skyloft
