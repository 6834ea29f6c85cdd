// SPDX-License-Identifier: MIT
#pragma once

#include "core/RclonePaths.h"
#include "upload/RcAnswers.h"

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

#include <functional>
#include <memory>

class QProcess;
class QTimer;

namespace skyloft {

class RcConnection;
struct RcExchange;

// The outcome of one call to `rclone rcd`.
struct RcReply
{
    bool ok = false;
    QJsonObject answer; // rclone's answer, also of a failed call when it gave one
    QString error;      // why the call failed, for the log
    // There is no daemon for this call: it could not be started, it died twice, or it was not
    // to be trusted. The caller goes on without it; nothing is wrong with the call itself.
    bool daemonGone = false;
    // A link asked with an expiry that the service refused: the link has none.
    bool expiryNotApplied = false;
    // The answer on one line, or the error when there is no answer.
    QString text() const;
};
using RcReplyHandler = std::function<void(const RcReply &reply)>;

// One `rclone rcd` child and the calls made to it, all asynchronous on the GUI thread. rclone
// binds 127.0.0.1 itself at a port of its choosing and says which; before anything is sent the
// listener is checked to be that child. It answers only with the user and password made up for
// it at each start, which, like everything else it is given, stay out of its command line.
//
// Each call is a job: it gets a ticket, its handler runs at most once and never before the call
// returns, and cancel(ticket) ends it quietly (no handler after that). A failed call is tried
// twice more. If the daemon dies, it is started once more and the calls under way are sent
// again; if it dies again, every call under way or later ends with `daemonGone`. Destroying the
// client ends the daemon; it also dies with Skyloft.
class RcClient : public QObject
{
    Q_OBJECT
public:
    explicit RcClient(RclonePaths paths, QObject *parent = nullptr);
    ~RcClient() override;

    // Calls onReady once the daemon serves (with an empty text) or once it could not be started
    // or trusted (with the reason, in Spanish). The first caller starts it; later ones wait for
    // it or learn at once how its start went. Never calls back before returning.
    void whenReady(std::function<void(const QString &error)> onReady);

    // POSTs `method` with `params`.
    qint64 call(const QString &method, const QJsonObject &params, RcReplyHandler onReply);

    // Copies a local file to the top folder of REMOTE under `remoteFileName`, waiting for the
    // copy in the request itself. A copy still under way after a moment reports its progress
    // about twice a second from its own statistics group.
    qint64 copyFile(const QString &filePath, const QString &remoteName,
                    const QString &remoteFileName,
                    std::function<void(const RcCopyStats &stats)> onProgress,
                    RcReplyHandler onDone);

    // The public link of REMOTE:PATH, valid for `expire` (rclone's duration, "7d"; empty: as the
    // service likes). A service that refuses the expiry still gives its link, without one.
    qint64 publicLink(const QString &remoteName, const QString &remotePath, const QString &expire,
                      RcReplyHandler onDone);

    // Limits the daemon's bandwidth now and after a restart ("5M"; "off" or empty: no limit).
    qint64 setBandwidthLimit(const QString &rate, RcReplyHandler onDone = {});

    // Ends a call quietly; a copy under way is stopped in rclone too. Unknown tickets are ignored.
    void cancel(qint64 ticket);
    // Ends every call quietly and the daemon with its jobs. Later calls end with `daemonGone`.
    void stopAll();

    bool isRunning() const;
    qint64 daemonPid() const;
    quint16 port() const { return m_port; }

    static constexpr int kRetries = 2;
    static constexpr int kRetryPauseMs = 300;
    static constexpr int kStatsIntervalMs = 500;

Q_SIGNALS:
    // The daemon died and a new one took over; the calls under way are sent again.
    void daemonRestarted();
    // The daemon died again (or could not be restarted): every call ends with `daemonGone`.
    void daemonGone(const QString &why);

private:
    struct Call;
    enum class Daemon
    {
        NotStarted,
        Starting,
        Ready,
        Gone
    };

    void launch();
    void readDaemonOutput();
    void daemonEnded(QProcess *process, const QString &why);
    void ready(const QString &error);
    void lost(const QString &why);
    bool trusted() const;

    qint64 add(std::shared_ptr<Call> call);
    void send(const std::shared_ptr<Call> &call);
    void received(const std::shared_ptr<Call> &call, RcConnection *connection,
                  const RcExchange &exchange);
    void failed(const std::shared_ptr<Call> &call, RcReply reply);
    void finish(const std::shared_ptr<Call> &call, RcReply reply);
    RcConnection *idleConnection();
    void dropConnections();
    void pollStats();
    QString lastDaemonLine() const;

    RclonePaths m_paths;
    QProcess *m_daemon = nullptr;
    Daemon m_state = Daemon::NotStarted;
    bool m_restarted = false;
    QString m_error;
    QByteArray m_output;
    quint16 m_port = 0;
    QByteArray m_authorization;
    QTimer *m_startTimer;
    QTimer *m_statsTimer;
    QList<std::function<void(const QString &)>> m_waiting;
    QList<RcConnection *> m_idle;
    qint64 m_lastTicket = 0;
    QHash<qint64, std::shared_ptr<Call>> m_calls;
    QString m_bandwidth;
    QSet<QString> m_refusesExpiry;
};

} // namespace skyloft
