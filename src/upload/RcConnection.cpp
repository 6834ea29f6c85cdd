// SPDX-License-Identifier: MIT
#include "upload/RcConnection.h"

#include <QHostAddress>
#include <QNetworkProxy>
#include <QTcpSocket>
#include <QTimer>

namespace skyloft {

namespace {

// rcd's answers are small JSON objects; anything this large is not one.
constexpr qsizetype kMaxAnswerBytes = 16 * 1024 * 1024;
constexpr qsizetype kMaxHeaderBytes = 64 * 1024;

struct ParsedAnswer
{
    enum class State
    {
        NeedMore,
        Done,
        Bad
    };
    State state = State::NeedMore;
    int status = 0;
    QByteArray body;
    bool keepAlive = true;
    QString why;
};

ParsedAnswer bad(const QString &why)
{
    ParsedAnswer answer;
    answer.state = ParsedAnswer::State::Bad;
    answer.why = why;
    return answer;
}

// Reads an HTTP/1.1 answer from the start of `data`: a length, chunks, or (with `atEnd`) all
// that came before the connection closed.
ParsedAnswer parseAnswer(QByteArrayView data, bool atEnd)
{
    ParsedAnswer answer;
    const qsizetype headerEnd = data.indexOf("\r\n\r\n");
    if (headerEnd < 0) {
        if (data.size() > kMaxHeaderBytes || (atEnd && !data.isEmpty()))
            return bad(QStringLiteral("cabecera HTTP no válida"));
        return answer;
    }
    const QList<QByteArray> lines = data.first(headerEnd).toByteArray().split('\n');
    const QList<QByteArray> statusLine = lines.first().trimmed().split(' ');
    bool statusOk = false;
    answer.status = statusLine.value(1).toInt(&statusOk);
    if (!statusLine.first().startsWith("HTTP/1.") || !statusOk)
        return bad(QStringLiteral("respuesta que no es HTTP"));
    answer.keepAlive = statusLine.first() == "HTTP/1.1";
    qint64 length = -1;
    bool chunked = false;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray &line = lines[i];
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            return bad(QStringLiteral("cabecera HTTP no válida"));
        const QByteArray name = line.first(colon).trimmed().toLower();
        const QByteArray value = line.sliced(colon + 1).trimmed().toLower();
        if (name == "content-length") {
            bool ok = false;
            length = value.toLongLong(&ok);
            if (!ok || length < 0 || length > kMaxAnswerBytes)
                return bad(QStringLiteral("longitud HTTP no válida"));
        } else if (name == "transfer-encoding") {
            chunked = value.contains("chunked");
        } else if (name == "connection") {
            answer.keepAlive = answer.keepAlive && !value.contains("close");
        }
    }
    QByteArrayView rest = data.sliced(headerEnd + 4);
    if (chunked) {
        QByteArray body;
        for (;;) {
            const qsizetype lineEnd = rest.indexOf("\r\n");
            if (lineEnd < 0)
                return atEnd ? bad(QStringLiteral("fragmento HTTP cortado")) : answer;
            QByteArrayView sizeText = rest.first(lineEnd);
            if (const qsizetype semicolon = sizeText.indexOf(';'); semicolon >= 0)
                sizeText = sizeText.first(semicolon);
            bool ok = false;
            const qint64 size = sizeText.trimmed().toLongLong(&ok, 16);
            if (!ok || size < 0 || body.size() + size > kMaxAnswerBytes)
                return bad(QStringLiteral("fragmento HTTP no válido"));
            rest = rest.sliced(lineEnd + 2);
            if (size == 0) {
                // Trailers, if any, end with an empty line.
                const qsizetype trailersEnd =
                    rest.startsWith("\r\n") ? 0 : rest.indexOf("\r\n\r\n");
                if (trailersEnd < 0)
                    return atEnd ? bad(QStringLiteral("fragmento HTTP cortado")) : answer;
                answer.body = body;
                answer.state = ParsedAnswer::State::Done;
                return answer;
            }
            if (rest.size() < size + 2)
                return atEnd ? bad(QStringLiteral("fragmento HTTP cortado")) : answer;
            body.append(rest.first(size));
            rest = rest.sliced(size + 2);
        }
    }
    if (length >= 0) {
        if (rest.size() < length)
            return atEnd ? bad(QStringLiteral("respuesta HTTP cortada")) : answer;
        answer.body = rest.first(length).toByteArray();
        answer.state = ParsedAnswer::State::Done;
        return answer;
    }
    // No length: the answer is whatever comes before the connection closes.
    if (rest.size() > kMaxAnswerBytes)
        return bad(QStringLiteral("respuesta HTTP demasiado larga"));
    if (atEnd) {
        answer.body = rest.toByteArray();
        answer.keepAlive = false;
        answer.state = ParsedAnswer::State::Done;
    }
    return answer;
}

} // namespace

RcConnection::RcConnection(quint16 port, std::function<bool()> trusted, QObject *parent)
    : QObject(parent), m_socket(new QTcpSocket(this)), m_trusted(std::move(trusted))
{
    // The daemon is on this machine: a proxy from the environment must not stand between.
    m_socket->setProxy(QNetworkProxy::NoProxy);
    connect(m_socket, &QTcpSocket::connected, this, &RcConnection::connected);
    connect(m_socket, &QTcpSocket::readyRead, this, &RcConnection::readAnswer);
    connect(m_socket, &QTcpSocket::disconnected, this, [this] {
        m_closing = true;
        if (m_onDone)
            readAnswer();
        if (m_onDone)
            lose(QStringLiteral("rclone rcd cerró la conexión"));
    });
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        m_closing = true;
        if (error == QAbstractSocket::RemoteHostClosedError)
            return; // disconnected() follows and reads what came before
        if (m_onDone)
            lose(m_socket->errorString());
    });
    m_socket->connectToHost(QHostAddress(QHostAddress::LocalHost), port);
}

RcConnection::~RcConnection()
{
    drop();
}

void RcConnection::drop()
{
    m_onDone = nullptr;
    m_closing = true;
    m_socket->disconnect(this);
    m_socket->abort();
}

bool RcConnection::isUsable() const
{
    return !m_closing && m_socket->state() != QAbstractSocket::UnconnectedState;
}

void RcConnection::send(QByteArray request, std::function<void(const RcExchange &)> onDone)
{
    m_onDone = std::move(onDone);
    m_buffer.clear();
    if (m_closing) {
        // A connection found dead in between: say so from the event loop, as for any failure.
        QTimer::singleShot(0, this, [this] {
            if (m_onDone)
                lose(QStringLiteral("rclone rcd cerró la conexión"));
        });
        return;
    }
    if (m_verified) {
        m_socket->write(request);
        return;
    }
    m_request = std::move(request);
}

void RcConnection::connected()
{
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    if (!m_trusted()) {
        RcExchange exchange;
        exchange.kind = RcExchange::Kind::Untrusted;
        end(exchange, true);
        return;
    }
    m_verified = true;
    if (!m_request.isEmpty())
        m_socket->write(std::exchange(m_request, {}));
}

void RcConnection::readAnswer()
{
    m_buffer.append(m_socket->readAll());
    if (!m_onDone) {
        if (!m_buffer.isEmpty()) // nothing was asked: the peer speaks out of turn
            m_closing = true;
        return;
    }
    const ParsedAnswer parsed =
        parseAnswer(m_buffer, m_closing || m_socket->state() != QAbstractSocket::ConnectedState);
    if (parsed.state == ParsedAnswer::State::NeedMore)
        return;
    RcExchange exchange;
    if (parsed.state == ParsedAnswer::State::Bad) {
        exchange.kind = RcExchange::Kind::Garbage;
        exchange.why = parsed.why;
        end(exchange, true);
        return;
    }
    exchange.kind = RcExchange::Kind::Answered;
    exchange.status = parsed.status;
    exchange.body = parsed.body;
    end(exchange, !parsed.keepAlive);
}

void RcConnection::lose(const QString &why)
{
    RcExchange exchange;
    exchange.kind = RcExchange::Kind::Lost;
    exchange.why = why;
    exchange.silent = m_buffer.isEmpty();
    end(exchange, true);
}

void RcConnection::end(RcExchange exchange, bool close)
{
    exchange.reused = m_answers > 0;
    if (exchange.kind == RcExchange::Kind::Answered)
        ++m_answers;
    m_buffer.clear();
    auto onDone = std::exchange(m_onDone, nullptr);
    if (close) {
        // Quietly: an abort reports its own disconnection, which must not end the request twice.
        m_closing = true;
        m_socket->disconnect(this);
        m_socket->abort();
    }
    if (onDone)
        onDone(exchange);
}

} // namespace skyloft
