// SPDX-License-Identifier: MIT
#pragma once

#include "core/BlockingWork.h"
#include <QByteArray>
#include <QCoreApplication>
#include <QHostAddress>
#include <QStringList>
#include <QTcpServer>

#include <memory>
#include <vector>

namespace skyloft::test {

// Configuration files with Google Drive (and Dropbox) authorized by a token.
inline const QByteArray kDriveOnly = "[drive]\ntype = drive\ntoken = {\"a\":1}\n";
inline const QByteArray kDriveAndDropbox =
    kDriveOnly + "\n[dropbox]\ntype = dropbox\ntoken = {\"b\":2}\n";

inline QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

inline QStringList linesStartingWith(const QStringList &lines, const QString &prefix)
{
    QStringList found;
    for (const QString &line : lines) {
        if (line.startsWith(prefix))
            found << line;
    }
    return found;
}

inline bool portIsFree(int port)
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, quint16(port));
}

// The lowest of `count` consecutive ports that binding shows free right now (the test's range for
// the code under test), starting from one the system hands out.
inline int freeLowestPort(int count = 3)
{
    for (;;) {
        QTcpServer first;
        if (!first.listen(QHostAddress::LocalHost, 0) || first.serverPort() > 65535 - count)
            continue;
        std::vector<std::unique_ptr<QTcpServer>> rest;
        for (int offset = 1; offset < count; ++offset) {
            rest.push_back(std::make_unique<QTcpServer>());
            if (!rest.back()->listen(QHostAddress::LocalHost, quint16(first.serverPort() + offset)))
                break;
        }
        if (rest.empty() || rest.back()->isListening())
            return first.serverPort();
    }
}

// Delivers every event already queued, and what those queue in turn once: the way to check that
// nothing more happens (a fixed wait would only guess how long "more" takes).
inline void drainEvents()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
}

// Waits for every authorization worker, then lets the work they posted run.
inline bool finishAuthorizations()
{
    const bool done = skyloft::BlockingWork::waitForDone(60000);
    QCoreApplication::sendPostedEvents();
    return done;
}

} // namespace skyloft::test
