// SPDX-License-Identifier: MIT
#pragma once

#include "core/BlockingWork.h"
#include <QByteArray>
#include <QCoreApplication>
#include <QHostAddress>
#include <QStringList>
#include <QTcpServer>

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

// A port the system has just handed out: it and the few above it are most likely free.
inline int freeLowestPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// Waits for every authorization worker, then lets the work they posted run.
inline bool finishAuthorizations()
{
    const bool done = skyloft::BlockingWork::waitForDone(60000);
    QCoreApplication::sendPostedEvents();
    return done;
}

} // namespace skyloft::test
