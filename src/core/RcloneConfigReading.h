// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

namespace skyloft {

// One section of rclone's configuration file: a remote and its keys, in the file's order.
struct RcloneRemote
{
    QString name;
    QList<std::pair<QString, QString>> keys;

    // The key's value ("" when absent); a key given twice keeps its last value, as in rclone.
    QString value(const QString &key) const;
    bool has(const QString &key) const;
    QString type() const { return value(QStringLiteral("type")); }
};

// The configuration file as rclone reads it: after trimming, lines starting with "#" or ";" are
// comments, "[name]" starts a section (a name seen again continues it), and any other line is a
// key, then "=" or ":", then its value, both trimmed. A file rclone would refuse (encrypted, or a
// line that is neither) has no remotes here and says why in `problem`.
class RcloneConfigReading
{
public:
    static RcloneConfigReading parse(const QString &text);

    const QList<RcloneRemote> &remotes() const { return m_remotes; }
    const RcloneRemote *find(const QString &name) const;

    bool isEncrypted() const { return m_encrypted; }
    // Why rclone cannot use the file, in Spanish with what to do; empty when it can.
    QString problem() const { return m_problem; }

private:
    QList<RcloneRemote> m_remotes;
    bool m_encrypted = false;
    QString m_problem;
};

} // namespace skyloft
