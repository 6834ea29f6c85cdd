// SPDX-License-Identifier: MIT
#include "upload/CopyJob.h"

namespace skyloft {

QString lastPathComponent(const QString &path)
{
    QStringView trimmed(path);
    while (trimmed.size() > 1 && trimmed.endsWith(QLatin1Char('/')))
        trimmed.chop(1);
    if (trimmed == u"/")
        return QStringLiteral("/");
    return trimmed.mid(trimmed.lastIndexOf(QLatin1Char('/')) + 1).toString();
}

QString expiryNotAppliedLine(const CopyJob &job)
{
    return QStringLiteral("⚠️ ") + job.service +
           QStringLiteral(" no admite caducidad en sus "
                          "enlaces: el de ") +
           job.nameOnRemote() + QStringLiteral(" no caduca.");
}

QString numberedName(const QString &name, int n)
{
    // The number goes before the extension; a leading dot (".bashrc") is no extension.
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const qsizetype split = dot > 0 ? dot : name.size();
    return name.left(split) + QStringLiteral(" (%1)").arg(n) + name.mid(split);
}

} // namespace skyloft
