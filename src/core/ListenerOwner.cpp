// SPDX-License-Identifier: MIT
#include "core/ListenerOwner.h"

#include <QFile>
#include <QSet>

#include <algorithm>
#include <optional>

#include <dirent.h>
#include <linux/inet_diag.h>
#include <linux/netlink.h>
#include <linux/sock_diag.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
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

// The kernel's socket diagnostics walk only the listening sockets, where /proc/net/tcp walks
// every connection of the machine (milliseconds on a busy one). Nothing when they cannot be asked.
std::optional<QList<quint64>> listenersFromKernel(quint16 port)
{
    const int fd = ::socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC, NETLINK_SOCK_DIAG);
    if (fd < 0)
        return std::nullopt;
    QList<quint64> inodes;
    bool ok = true;
    for (const int family : {AF_INET, AF_INET6}) {
        struct
        {
            nlmsghdr header;
            inet_diag_req_v2 request;
        } message{};
        message.header.nlmsg_len = sizeof message;
        message.header.nlmsg_type = SOCK_DIAG_BY_FAMILY;
        message.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
        message.request.sdiag_family = quint8(family);
        message.request.sdiag_protocol = IPPROTO_TCP;
        message.request.idiag_states = 1u << TCP_LISTEN;
        ok = ::send(fd, &message, sizeof message, 0) == ssize_t(sizeof message);
        for (bool done = !ok; !done;) {
            alignas(nlmsghdr) char buffer[8192];
            ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
            if (got <= 0) {
                ok = false;
                break;
            }
            for (auto *header = reinterpret_cast<nlmsghdr *>(buffer); NLMSG_OK(header, got);
                 header = NLMSG_NEXT(header, got)) {
                if (header->nlmsg_type == NLMSG_DONE || header->nlmsg_type == NLMSG_ERROR) {
                    ok = ok && header->nlmsg_type == NLMSG_DONE;
                    done = true;
                    break;
                }
                const auto *socket = static_cast<const inet_diag_msg *>(NLMSG_DATA(header));
                if (ntohs(socket->id.idiag_sport) == port)
                    inodes << socket->idiag_inode;
            }
        }
        if (!ok)
            break;
    }
    ::close(fd);
    return ok ? std::optional(inodes) : std::nullopt;
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
    std::optional<QList<quint64>> listeners = listenersFromKernel(port);
    if (!listeners)
        listeners = listeningSocketInodes(readProcFile(QStringLiteral("/proc/net/tcp")), port) +
                    listeningSocketInodes(readProcFile(QStringLiteral("/proc/net/tcp6")), port);
    if (listeners->isEmpty())
        return false;
    const QSet<quint64> own = socketInodesOf(pid);
    return std::all_of(listeners->cbegin(), listeners->cend(),
                       [&own](quint64 inode) { return inode != 0 && own.contains(inode); });
}

} // namespace skyloft
