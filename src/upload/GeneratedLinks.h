// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QMap>
#include <QObject>
#include <QString>

namespace skyloft {

struct LinkItem
{
    QString fileName;
    QString link;
    bool operator==(const LinkItem &) const = default;
};

// Links of this session by remote name ("drive", "fichier", ...), each list in recording order.
// QMap keeps the keys sorted, which is the order the links screen shows them in.
using LinksByRemote = QMap<QString, QList<LinkItem>>;

class GeneratedLinks : public QObject
{
    Q_OBJECT
public:
    explicit GeneratedLinks(QObject *parent = nullptr);

    const LinksByRemote &links() const { return m_links; }
    void append(const QString &remoteName, const LinkItem &item);
    // Many links under one remote as one change: one signal, one model insert.
    void appendAll(const QString &remoteName, const QList<LinkItem> &items);
    void clear();

Q_SIGNALS:
    // `count` links were appended under remoteName, the first at position `first` of its list.
    void appended(const QString &remoteName, qsizetype first, qsizetype count);
    void changed();

private:
    LinksByRemote m_links;
};

} // namespace skyloft
