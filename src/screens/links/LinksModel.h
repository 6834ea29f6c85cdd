// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractListModel>
#include <QList>
#include <QSet>
#include <QString>

namespace skyloft {

class GeneratedLinks;
struct LinkItem;

// The links screen as one flat list: each section's header row followed by one card row per
// link. It follows GeneratedLinks as links arrive, row by row, so a running upload neither
// rebuilds the list nor moves the user's scroll position.
class LinksModel : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Role
    {
        KindRole = Qt::UserRole + 1, // RowKind
        SectionRole,                 // the section's key
        ImageNameRole,               // header: the section image's name
        LinkRole,                    // card: the link
        FailureRole,     // card of a failed pair: "⚠️ La copia falló"..., else empty
        ExplanationRole, // card of a failed pair: what happened and what to do
        DetailRole,      // card of a failed pair: rclone's last lines
        ExpandedRole     // card of a failed pair: its details are shown (settable)
    };
    enum RowKind
    {
        HeaderRow,
        CardRow
    };

    explicit LinksModel(GeneratedLinks *generatedLinks, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

    bool isCard(const QModelIndex &index) const;
    // The card's place in GeneratedLinks: its section and position there.
    QPair<QString, qsizetype> itemPosition(const QModelIndex &index) const;

private:
    struct Row
    {
        QString section;
        qsizetype item; // -1 for the header
    };

    void onAppended(const QString &remoteName, qsizetype first, qsizetype count);
    void onReplaced(const QString &remoteName, qsizetype item);
    void rebuildIfStale();
    QList<Row> rowsFromLinks() const;
    const LinkItem *itemAt(const Row &row) const;

    GeneratedLinks *m_generatedLinks;
    QList<Row> m_rows;
    QSet<QPair<QString, qsizetype>> m_expanded; // failed cards whose details are open
};

} // namespace skyloft
