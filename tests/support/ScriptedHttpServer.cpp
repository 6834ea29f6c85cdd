// SPDX-License-Identifier: MIT
#include "ScriptedHttpServer.h"

#include <QRegularExpression>
#include <QTcpSocket>

namespace skyloft::test {

ScriptedHttpServer::ScriptedHttpServer()
{
    m_server.listen(QHostAddress::LocalHost);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection())
            serve(socket);
    });
}

QString ScriptedHttpServer::url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
}

QByteArray ScriptedHttpServer::response(int status, const QByteArray &body,
                                        const QByteArray &headers)
{
    return "HTTP/1.1 " + QByteArray::number(status) + " Scripted\r\n" + headers +
           "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" +
           body;
}

void ScriptedHttpServer::answer(const QString &path, int status, const QByteArray &body,
                                const QByteArray &headers)
{
    m_responses.insert(path, response(status, body, headers));
}

void ScriptedHttpServer::respond(const QString &path, Responder responder)
{
    m_responders.insert(path, std::move(responder));
}

void ScriptedHttpServer::serve(QTcpSocket *socket)
{
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
        const QByteArray head = socket->peek(socket->bytesAvailable());
        const qsizetype headEnd = head.indexOf("\r\n\r\n");
        if (headEnd < 0)
            return;
        // Closing before the body is in would reset the connection under the client.
        static const QRegularExpression lengthHeader(
            QStringLiteral("\r\ncontent-length:\\s*(\\d+)"),
            QRegularExpression::CaseInsensitiveOption);
        const auto length = lengthHeader.match(QString::fromLatin1(head.left(headEnd)));
        if (head.size() < headEnd + 4 + (length.hasMatch() ? length.captured(1).toLongLong() : 0))
            return;
        socket->readAll();
        const QList<QByteArray> words = head.left(head.indexOf("\r\n")).split(' ');
        const QString path = QString::fromLatin1(words.value(1));
        m_requests.append(QString::fromLatin1(words.value(0)) + u' ' + path);
        const QUrl target(path);
        QByteArray answer = m_responses.value(path);
        if (answer.isEmpty() && m_responders.contains(target.path()))
            answer = m_responders.value(target.path())(target);
        if (answer.isEmpty())
            return;
        socket->write(answer);
        socket->disconnectFromHost();
    });
}

QString refusingUrl()
{
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost);
    const quint16 port = closed.serverPort();
    closed.close();
    return QStringLiteral("http://127.0.0.1:%1").arg(port);
}

} // namespace skyloft::test
