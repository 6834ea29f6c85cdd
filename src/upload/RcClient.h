// SPDX-License-Identifier: MIT
#pragma once

#include "core/RclonePaths.h"

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

class QNetworkAccessManager;
class QProcess;
class QTimer;

namespace skyloft {

// The outcome of one call to `rclone rcd`.
struct RcReply
{
    bool ok = false;
    QJsonObject answer; // rclone's answer, also of a failed call when it gave one
    QString error;      // why the call failed, for the log
    // The answer on one line, or the error when there is no answer.
    QString text() const;
};
using RcReplyHandler = std::function<void(const RcReply &reply)>;

// One `rclone rcd` child and the calls made to it, all asynchronous on the GUI thread. The
// daemon listens on 127.0.0.1 only, at a free port, and answers only with the user and password
// made up for it at each start. Destroying the client ends the daemon; it also dies with us.
class RcClient : public QObject
{
    Q_OBJECT
public:
    explicit RcClient(RclonePaths paths, QObject *parent = nullptr);
    ~RcClient() override;

    // Starts the daemon and calls onReady once it answers (with an empty text) or once it could
    // not be started (with the reason). Never calls back before returning.
    void start(std::function<void(const QString &error)> onReady);
    // The same, shared: the first caller starts the daemon, later ones wait for it or learn at
    // once how its start went.
    void whenReady(std::function<void(const QString &error)> onReady);

    // POSTs `method` with `params`. A call that gets no answer or an error answer is tried again
    // `retries` times, after a short pause each.
    void call(const QString &method, const QJsonObject &params, RcReplyHandler onReply,
              int retries = kRetries);

    // Copies a local file to the top folder of a remote under its own name, as an asynchronous
    // job; its fraction done comes every 250 ms, then 1.0 when the job is over, whatever the
    // outcome, and then onDone with the job's final status. A failed copy is tried twice more.
    // Returns a ticket for cancelCopy.
    qint64 copyFile(const QString &filePath, const QString &remoteName,
                    std::function<void(double fraction)> onProgress, RcReplyHandler onDone);
    // Stops a copy still under way (rclone's job/stop); it then ends as failed, not retried.
    void cancelCopy(qint64 ticket);

    // The public link of REMOTE:FILE.
    void publicLink(const QString &remoteName, const QString &fileName, RcReplyHandler onDone);

    // Ends the daemon (it may take a moment to exit); calls still under way fail.
    void stop();

    bool isRunning() const;
    QUrl address() const { return m_address; }
    qint64 daemonPid() const;

    static constexpr int kRetries = 2;
    static constexpr int kRetryPauseMs = 300;
    static constexpr int kStatsIntervalMs = 250;

private:
    struct CopyTask;
    void launch(int attemptsLeft, std::function<void(const QString &)> onReady);
    void waitUntilAnswering(int attemptsLeft, std::function<void(const QString &)> onReady);
    void startCopyJob(const std::shared_ptr<CopyTask> &task);
    void pollJob(const std::shared_ptr<CopyTask> &task);
    void endCopyJob(const std::shared_ptr<CopyTask> &task, const RcReply &reply);
    QString daemonLastLine() const;

    RclonePaths m_paths;
    QNetworkAccessManager *m_network;
    QProcess *m_daemon = nullptr;
    QByteArray m_daemonOutputTail;
    QUrl m_address;
    QByteArray m_authorization;
    enum class Readiness
    {
        NotStarted,
        Starting,
        Ready,
        Failed
    };
    Readiness m_readiness = Readiness::NotStarted;
    QString m_startError;
    QList<std::function<void(const QString &)>> m_waiting;
    qint64 m_lastTicket = 0;
    QHash<qint64, std::shared_ptr<CopyTask>> m_copies;
};

} // namespace skyloft
