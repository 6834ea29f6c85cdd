// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

namespace skyloft::test {

// The answer to one GET: the body on 200, otherwise what went wrong.
struct Download
{
    QByteArray body;
    QString error;
};

// Fetches every address at once (the network manager queues them per host) and waits up to
// `timeoutMs` for all of them.
QList<Download> downloadAll(const QList<QUrl> &urls, int timeoutMs);

} // namespace skyloft::test
