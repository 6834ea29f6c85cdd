// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTcpServer>
#include <QUrl>

#include <functional>

class QTcpSocket;

namespace skyloft::test {

// An HTTP server on 127.0.0.1 that answers each path with its scripted response and leaves a path
// without a script unanswered, the connection open. A request is answered once its body is in.
class ScriptedHttpServer : public QObject
{
public:
    // Builds the whole response to a request for `target` (path and query).
    using Responder = std::function<QByteArray(const QUrl &target)>;

    ScriptedHttpServer();

    QString url(const QString &path = {}) const;
    void answer(const QString &path, int status, const QByteArray &body,
                const QByteArray &headers = {});
    // For requests whose path (without the query) is `path`, when no exact answer matches.
    void respond(const QString &path, Responder responder);
    static QByteArray response(int status, const QByteArray &body, const QByteArray &headers = {});
    // Request lines received, such as "GET /version.json".
    QStringList requests() const { return m_requests; }

private:
    void serve(QTcpSocket *socket);

    QTcpServer m_server;
    QHash<QString, QByteArray> m_responses;
    QHash<QString, Responder> m_responders;
    QStringList m_requests;
};

// An address on 127.0.0.1 where nothing listens.
QString refusingUrl();

} // namespace skyloft::test
