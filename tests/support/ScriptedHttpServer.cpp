// SPDX-License-Identifier: MIT
#include "ScriptedHttpServer.h"

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

void ScriptedHttpServer::answer(const QString &path, int status, const QByteArray &body,
                                const QByteArray &headers)
{
    m_responses.insert(path, "HTTP/1.1 " + QByteArray::number(status) + " Scripted\r\n" + headers +
                                 "Content-Length: " + QByteArray::number(body.size()) +
                                 "\r\nConnection: close\r\n\r\n" + body);
}

void ScriptedHttpServer::serve(QTcpSocket *socket)
{
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
        const QByteArray head = socket->peek(socket->bytesAvailable());
        if (!head.contains("\r\n\r\n"))
            return;
        socket->readAll();
        const QList<QByteArray> words = head.left(head.indexOf("\r\n")).split(' ');
        const QString path = QString::fromLatin1(words.value(1));
        m_requests.append(QString::fromLatin1(words.value(0)) + u' ' + path);
        if (!m_responses.contains(path))
            return;
        socket->write(m_responses.value(path));
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
