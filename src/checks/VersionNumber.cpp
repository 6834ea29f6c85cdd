// SPDX-License-Identifier: MIT
#include "checks/VersionNumber.h"

#include <algorithm>

namespace skyloft {

namespace {

qint64 componentValue(QStringView part)
{
    const QStringView digits =
        part.startsWith(u'+') || part.startsWith(u'-') ? part.sliced(1) : part;
    const bool plainDigits =
        !digits.isEmpty() &&
        std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (!plainDigits)
        return 0;
    bool ok = false;
    const qint64 value = part.toLongLong(&ok, 10);
    return ok ? value : 0;
}

} // namespace

QList<qint64> versionComponents(const QString &version)
{
    QList<qint64> components;
    for (const QStringView part : QStringView(version).split(u'.', Qt::SkipEmptyParts))
        components.append(componentValue(part));
    return components;
}

bool isNewerVersion(const QString &current, const QString &published)
{
    const QList<qint64> mine = versionComponents(current);
    const QList<qint64> theirs = versionComponents(published);
    const qsizetype shared = std::min(mine.size(), theirs.size());
    for (qsizetype i = 0; i < shared; ++i) {
        if (mine[i] != theirs[i])
            return mine[i] < theirs[i];
    }
    return false;
}

} // namespace skyloft
