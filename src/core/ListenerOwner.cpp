// SPDX-License-Identifier: MIT
#include "core/ListenerOwner.h"

#include <QFile>
#include <QSet>

#include <algorithm>

#include <dirent.h>
#include <unistd.h>

namespace skyloft {

namespace {

constexpr QByteArrayView kListenState = "0A";

QByteArray readProcFile(const QString &path)
{
    QFile file(path);
    // Files of /proc report no size: read them to the end.
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QSet<quint64> socketInodesOf(qint64 pid)
{
    QSet<quint64> inodes;
    const QByteArray folder = "/proc/" + QByteArray::number(pid) + "/fd";
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return inodes;
    char target[64];
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray link = folder + '/' + entry->d_name;
        const ssize_t length = ::readlink(link.constData(), target, sizeof target);
        if (length <= 0)
            continue;
        const QByteArrayView name(target, length);
        if (name.startsWith("socket:[") && name.endsWith("]")) {
            bool ok = false;
            const quint64 inode = name.sliced(8, name.size() - 9).toULongLong(&ok);
            if (ok)
                inodes.insert(inode);
        }
    }
    ::closedir(dir);
    return inodes;
}

} // namespace

QList<quint64> listeningSocketInodes(const QByteArray &procNetTcp, quint16 port)
{
    QList<quint64> inodes;
    const QList<QByteArray> lines = procNetTcp.split('\n');
    // "sl local_address rem_address st tx_queue:rx_queue tr:tm->when retrnsmt uid timeout inode"
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> fields = lines[i].simplified().split(' ');
        if (fields.size() < 10 || fields[3] != kListenState)
            continue;
        const QByteArray &local = fields[1];
        const qsizetype colon = local.lastIndexOf(':');
        bool portOk = false;
        bool inodeOk = false;
        const uint localPort = local.mid(colon + 1).toUInt(&portOk, 16);
        const quint64 inode = fields[9].toULongLong(&inodeOk);
        if (colon > 0 && portOk && inodeOk && localPort == port)
            inodes << inode;
    }
    return inodes;
}

bool isListenerOf(qint64 pid, quint16 port)
{
    if (pid <= 0 || port == 0)
        return false;
    const QList<quint64> listeners =
        listeningSocketInodes(readProcFile(QStringLiteral("/proc/net/tcp")), port) +
        listeningSocketInodes(readProcFile(QStringLiteral("/proc/net/tcp6")), port);
    if (listeners.isEmpty())
        return false;
    const QSet<quint64> own = socketInodesOf(pid);
    return std::all_of(listeners.cbegin(), listeners.cend(),
                       [&own](quint64 inode) { return inode != 0 && own.contains(inode); });
}

} // namespace skyloft
