// SPDX-License-Identifier: MIT
#pragma once

#include "core/RclonePaths.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace skyloft::test {

// A temporary home and a resource folder whose "rclone" is the fake script of tests/fakes.
// The test scripts its answers with a bash snippet and reads back what each run received.
class FakeRclone
{
public:
    struct Call
    {
        QStringList arguments;
        QMap<QString, QString> environment;
        QByteArray standardInput;
        bool ended = false;
        bool terminated = false;
    };

    FakeRclone();

    bool isValid() const { return m_valid; }
    QString home() const { return m_home.path(); }
    QString resourceDir() const { return m_home.path() + QStringLiteral("/resources"); }
    QString configPath() const { return home() + QStringLiteral("/.rclone.conf"); }
    RclonePaths paths() const { return RclonePaths(resourceDir(), home(), configPath()); }

    // Sourced by the fake with the arguments in "$@" and the call's folder in "$call".
    void setHandler(const QString &bashSnippet);

    // Makes `rclone rcd` run the fake daemon of tests/fakes/rcd.js, which answers as the
    // JavaScript `handler` says (see that file) or with its defaults; replaces the handler, the
    // other commands running `otherCommands` (bash, as setHandler takes).
    void serveFakeDaemon(const QString &handler = QString(), const QString &otherCommands = {});
    // What the fake daemon was asked, in order: {method, params} or {method, params, aborted}.
    QList<QJsonObject> daemonRequests() const;

    int callCount() const;
    // Run `n`'s folder (from 1): its "pid", "stdin" once it has read its input (its signal trap
    // is set by then), "ended", and what the handler leaves in "$call".
    QString callDir(int n) const { return stateDir() + QStringLiteral("/call-%1").arg(n); }
    // Whether the latest run has read its input and still runs.
    bool lastCallWaits() const;
    qint64 pidOf(int n) const;
    QList<Call> calls() const;
    // Whether two runs were ever alive at the same time.
    bool overlapped() const;

    // A killall stand-in for code under test: it records each run and ends only this fake's
    // runs, so tests never stop rclone processes of other tests. Sets the variable it reads.
    QString killallPath() const;
    QStringList killallRuns() const;

private:
    QString stateDir() const { return home() + QStringLiteral("/.fake-rclone"); }

    QTemporaryDir m_home;
    bool m_valid = false;
};

// Writes a file, creating its folder; returns false on failure.
bool writeFile(const QString &path, const QByteArray &content);
QByteArray readFile(const QString &path);

} // namespace skyloft::test
