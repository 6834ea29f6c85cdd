// SPDX-License-Identifier: MIT
#include "upload/GeneratedLinks.h"

#include "core/Destination.h"

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

LinkItem LinkItem::fromOutcome(const PairOutcome &outcome)
{
    LinkItem item(outcome.fileName, outcome.link);
    item.state = outcome.state;
    item.detail = outcome.detail;
    item.service = outcome.service;
    item.remote = outcome.remote;
    item.localPath = outcome.localPath;
    item.cause = outcome.cause;
    item.rcloneOutput = outcome.rcloneOutput;
    item.size = outcome.size;
    item.ended = outcome.ended;
    return item;
}

PairOutcome LinkItem::outcome(const QString &remoteName) const
{
    PairOutcome pair;
    pair.service = service;
    pair.remote = remoteName;
    pair.fileName = fileName;
    pair.localPath = localPath;
    pair.size = size;
    pair.link = link;
    pair.state = state;
    pair.detail = detail;
    pair.cause = cause;
    pair.rcloneOutput = rcloneOutput;
    pair.ended = ended;
    return pair;
}

void GeneratedLinks::record(const PairOutcome &outcome)
{
    if (outcome.state != PairState::Cancelado)
        append(linksSectionFor(outcome.service, outcome.remote), LinkItem::fromOutcome(outcome));
}

void GeneratedLinks::replace(const QString &remoteName, qsizetype index, const LinkItem &item)
{
    const auto it = m_links.find(remoteName);
    if (it == m_links.end() || index < 0 || index >= it->size())
        return;
    (*it)[index] = item;
    Q_EMIT replaced(remoteName, index);
    Q_EMIT changed();
}

void GeneratedLinks::clear()
{
    m_links.clear();
    Q_EMIT changed();
}

} // namespace skyloft
