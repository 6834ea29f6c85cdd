// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTcpServer>

class QTcpSocket;

namespace skyloft::test {

// An HTTP server on 127.0.0.1 that answers each path with its scripted response and leaves a path
// without a script unanswered, the connection open.
class ScriptedHttpServer : public QObject
{
public:
    ScriptedHttpServer();

    QString url(const QString &path = {}) const;
    void answer(const QString &path, int status, const QByteArray &body,
                const QByteArray &headers = {});
    // Request lines received, such as "GET /version.json".
    QStringList requests() const { return m_requests; }

private:
    void serve(QTcpSocket *socket);

    QTcpServer m_server;
    QHash<QString, QByteArray> m_responses;
    QStringList m_requests;
};

// An address on 127.0.0.1 where nothing listens.
QString refusingUrl();

} // namespace skyloft::test
