// SPDX-License-Identifier: MIT
#include "upload/GeneratedLinks.h"

namespace skyloft {

GeneratedLinks::GeneratedLinks(QObject *parent) : QObject(parent) {}

void GeneratedLinks::append(const QString &remoteName, const LinkItem &item)
{
    appendAll(remoteName, {item});
}

void GeneratedLinks::appendAll(const QString &remoteName, const QList<LinkItem> &items)
{
    if (items.isEmpty())
        return;
    QList<LinkItem> &list = m_links[remoteName];
    const qsizetype first = list.size();
    list.append(items);
    Q_EMIT appended(remoteName, first, items.size());
    Q_EMIT changed();
}

void GeneratedLinks::clear()
{
    m_links.clear();
    Q_EMIT changed();
}

} // namespace skyloft
