// SPDX-License-Identifier: MIT
#include "FakeRclone.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QStandardPaths>

namespace skyloft::test {

FakeRclone::FakeRclone()
{
    if (!m_home.isValid() || !QDir().mkpath(resourceDir()) || !QDir().mkpath(stateDir()))
        return;
    m_valid = QFile::link(QStringLiteral(SKYLOFT_FAKE_RCLONE), resourceDir() + "/rclone");
}

void FakeRclone::setHandler(const QString &bashSnippet)
{
    writeFile(stateDir() + QStringLiteral("/handler"), bashSnippet.toUtf8());
}

void FakeRclone::serveFakeDaemon(const QString &handler, const QString &otherCommands)
{
    const QString node = QStandardPaths::findExecutable(QStringLiteral("node"));
    setHandler(QStringLiteral("[ \"$1\" = rcd ] && exec '%1' '%2'\n")
                   .arg(node, QStringLiteral(SKYLOFT_FAKE_RCD)) +
               otherCommands);
    const QString script = stateDir() + QStringLiteral("/rcd-handler.js");
    QFile::remove(script);
    if (!handler.isEmpty())
        writeFile(script, "module.exports = " + handler.toUtf8() + ";\n");
}

QList<QJsonObject> FakeRclone::daemonRequests() const
{
    QList<QJsonObject> requests;
    const QByteArray lines = readFile(stateDir() + QStringLiteral("/rcd-requests"));
    for (const QByteArray &line : lines.split('\n')) {
        if (!line.isEmpty())
            requests << QJsonDocument::fromJson(line).object();
    }
    return requests;
}

int FakeRclone::callCount() const
{
    return readFile(stateDir() + QStringLiteral("/count")).trimmed().toInt();
}

bool FakeRclone::lastCallWaits() const
{
    const QString dir = callDir(callCount());
    return QFileInfo::exists(dir + QStringLiteral("/stdin")) &&
           !QFileInfo::exists(dir + QStringLiteral("/ended"));
}

qint64 FakeRclone::pidOf(int n) const
{
    return readFile(callDir(n) + QStringLiteral("/pid")).trimmed().toLongLong();
}

QList<FakeRclone::Call> FakeRclone::calls() const
{
    QList<Call> result;
    const int count = callCount();
    for (int n = 1; n <= count; ++n) {
        const QString dir = stateDir() + QStringLiteral("/call-") + QString::number(n);
        Call call;
        const QByteArray args = readFile(dir + QStringLiteral("/args"));
        for (const QByteArray &arg : args.split('\0').mid(0, args.count('\0')))
            call.arguments << QString::fromUtf8(arg);
        const QByteArray env = readFile(dir + QStringLiteral("/env"));
        for (const QByteArray &entry : env.split('\0')) {
            const qsizetype eq = entry.indexOf('=');
            if (eq > 0)
                call.environment.insert(QString::fromUtf8(entry.left(eq)),
                                        QString::fromUtf8(entry.mid(eq + 1)));
        }
        call.standardInput = readFile(dir + QStringLiteral("/stdin"));
        call.ended = QFileInfo::exists(dir + QStringLiteral("/ended"));
        call.terminated = QFileInfo::exists(dir + QStringLiteral("/terminated"));
        result << call;
    }
    return result;
}

bool FakeRclone::overlapped() const
{
    return QFileInfo::exists(stateDir() + QStringLiteral("/overlap"));
}

QString FakeRclone::killallPath() const
{
    qputenv("SKYLOFT_FAKE_KILLALL_LOG", (home() + QStringLiteral("/killall.log")).toLocal8Bit());
    return QStringLiteral(SKYLOFT_FAKE_KILLALL);
}

QStringList FakeRclone::killallRuns() const
{
    QStringList runs = QString::fromUtf8(readFile(home() + QStringLiteral("/killall.log")))
                           .split(QLatin1Char('\n'));
    runs.removeAll(QString());
    return runs;
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(content) == content.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace skyloft::test
