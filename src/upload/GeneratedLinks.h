// SPDX-License-Identifier: MIT
#pragma once

#include "upload/PairOutcome.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QString>

namespace skyloft {

// One card of the links screen: a link, or a pair that failed with what rclone said.
struct LinkItem
{
    LinkItem() = default;
    LinkItem(QString fileName, QString link) : fileName(std::move(fileName)), link(std::move(link))
    {}

    QString fileName;
    QString link;
    PairState state = PairState::Subido;
    QString detail;       // rclone's last line when the pair failed
    QString service;      // display name, for "Reintentar"
    QString remote;       // the remote it went to (not always the section's), for "Reintentar"
    QString localPath;    // the uploaded file, for "Reintentar"
    QString cause;        // why it failed (FailureCause.h)
    QString rcloneOutput; // rclone's last lines about it
    qint64 size = -1;     // bytes; -1 when unknown
    QDateTime ended;      // when the pair ended; invalid when unknown
    bool operator==(const LinkItem &) const = default;

    bool failed() const { return state != PairState::Subido; }
    static LinkItem fromOutcome(const PairOutcome &outcome);
    // The pair it came from, on `remoteName`.
    PairOutcome outcome(const QString &remoteName) const;
};

// Links of this session by section: a service's own remote name ("drive", "fichier", ...), or
// another remote's name; each list in recording order.
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
    // Records a pair of a run: a link, or a failed copy or link. Cancelled pairs leave nothing.
    void record(const PairOutcome &outcome);
    // A retried pair takes the place of its failed card.
    void replace(const QString &remoteName, qsizetype index, const LinkItem &item);
    void clear();

Q_SIGNALS:
    // `count` links were appended under remoteName, the first at position `first` of its list.
    void appended(const QString &remoteName, qsizetype first, qsizetype count);
    void replaced(const QString &remoteName, qsizetype index);
    void changed();

private:
    LinksByRemote m_links;
};

} // namespace skyloft
