// SPDX-License-Identifier: MIT
#include "Downloads.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTest>

namespace skyloft::test {

QList<Download> downloadAll(const QList<QUrl> &urls, int timeoutMs)
{
    QList<Download> downloads(urls.size());
    qsizetype pending = urls.size();
    QNetworkAccessManager network;
    network.setTransferTimeout(30000);
    QList<QNetworkReply *> replies;
    for (qsizetype i = 0; i < urls.size(); ++i) {
        QNetworkReply *reply = network.get(QNetworkRequest(urls.at(i)));
        replies << reply;
        QObject::connect(reply, &QNetworkReply::finished, reply, [reply, i, &downloads, &pending] {
            const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
            if (reply->error() != QNetworkReply::NoError)
                downloads[i].error = reply->errorString();
            else if (status != 200)
                downloads[i].error = QStringLiteral("HTTP status %1").arg(status);
            else
                downloads[i].body = reply->readAll();
            --pending;
        });
    }
    if (!QTest::qWaitFor([&pending] { return pending == 0; }, timeoutMs)) {
        for (qsizetype i = 0; i < replies.size(); ++i) {
            if (replies.at(i)->isFinished())
                continue;
            // Nothing may write into the list once it has been returned.
            QObject::disconnect(replies.at(i), nullptr, nullptr, nullptr);
            downloads[i].error = QStringLiteral("no answer in time");
        }
    }
    return downloads;
}

} // namespace skyloft::test
