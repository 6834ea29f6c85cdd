// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>

class QTcpSocket;

namespace skyloft {

// How one request on an RcConnection ended.
struct RcExchange
{
    enum class Kind
    {
        Answered,  // an HTTP answer came: `status` and `body`
        Untrusted, // the listener is not the daemon: nothing was sent
        Lost,      // the connection failed or closed before the whole answer came
        Garbage    // what came back is not HTTP
    };
    Kind kind = Kind::Lost;
    int status = 0;
    QByteArray body;
    QString why;         // for Lost and Garbage, the socket's or the parser's words
    bool silent = false; // Lost with not one byte of answer
    bool reused = false; // the request went on a connection that had answered before
};

// One keep-alive HTTP/1.1 connection to the daemon on 127.0.0.1, one request at a time, on the
// thread that made it. Once connected, and before any byte is sent, `trusted` must say that the
// listener is the daemon: otherwise the request ends as Untrusted and the connection is dropped.
class RcConnection : public QObject
{
    Q_OBJECT
public:
    RcConnection(quint16 port, std::function<bool()> trusted, QObject *parent = nullptr);
    ~RcConnection() override;

    // Sends a whole HTTP request; onDone runs once, never before this returns, unless the
    // connection is deleted first. Only on a connection that is not busy and still usable.
    void send(QByteArray request, std::function<void(const RcExchange &)> onDone);
    bool isBusy() const { return bool(m_onDone); }
    // Whether a next request may go on this connection.
    bool isUsable() const;
    // Closes the connection at once, the request under way unanswered; the owner then deletes
    // it later (never from inside onDone).
    void drop();

private:
    void connected();
    void readAnswer();
    void end(RcExchange exchange, bool close);
    void lose(const QString &why);

    QTcpSocket *m_socket;
    std::function<bool()> m_trusted;
    bool m_verified = false;
    bool m_closing = false;
    int m_answers = 0;
    QByteArray m_request;
    QByteArray m_buffer;
    std::function<void(const RcExchange &)> m_onDone;
};

} // namespace skyloft
