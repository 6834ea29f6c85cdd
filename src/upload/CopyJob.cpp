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

} // namespace skyloft
