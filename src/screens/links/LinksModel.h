// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractListModel>
#include <QList>
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
        FailureRole, // card of a failed pair: "⚠️ La copia falló"..., else empty
        DetailRole   // card of a failed pair: what rclone said
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
};

} // namespace skyloft
