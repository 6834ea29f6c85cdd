// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QtGlobal>

namespace skyloft {

// The inodes of the sockets listening on TCP `port`, from the text of /proc/net/tcp or
// /proc/net/tcp6 (any local address: a connection to 127.0.0.1 may reach a wildcard listener).
// isListenerOf reads them there only when the kernel's socket diagnostics cannot be asked.
QList<quint64> listeningSocketInodes(const QByteArray &procNetTcp, quint16 port);

// Whether something listens on TCP `port` of this machine and every such socket is an open file
// of process `pid`: the one way to know that a local address is served by our own child before
// sending it anything.
bool isListenerOf(qint64 pid, quint16 port);

} // namespace skyloft
