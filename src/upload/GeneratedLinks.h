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
    void clear();

Q_SIGNALS:
    void appended(const QString &remoteName, const skyloft::LinkItem &item);
    void changed();

private:
    LinksByRemote m_links;
};

} // namespace skyloft
