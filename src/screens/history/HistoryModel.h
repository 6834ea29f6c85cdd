// SPDX-License-Identifier: MIT
#pragma once

#include "history/HistoryEntry.h"

#include <QAbstractTableModel>
#include <QCollator>
#include <QList>
#include <QSortFilterProxyModel>

namespace skyloft {

class HistoryStore;

// The history as a table, oldest row first; it follows the store as pairs are recorded or
// deleted.
class HistoryModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column
    {
        Fecha,
        Servicio,
        Archivo,
        Estado,
        Tamano,
        Enlace,
        ColumnCount
    };

    explicit HistoryModel(HistoryStore *store, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Sorts the rows themselves, so that a search over them never sorts again; rows recorded
    // later are put in their place.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    const HistoryEntry &entryAt(int row) const { return m_entries.at(row).entry; }
    // Whether the row's file name or service contains `folded` (case-folded).
    bool rowMatches(int row, const QString &folded) const
    {
        return m_entries.at(row).searchKey.contains(folded);
    }
    // Reads the whole history from the store again: off the GUI thread when the store has a
    // file, so a long history never freezes the window; loaded() says when the rows are in.
    void reload();
    bool isLoading() const { return m_loading; }

Q_SIGNALS:
    void loaded();

private:
    void setEntries(QList<HistoryEntry> entries);
    void append(const HistoryEntry &entry);
    void removeId(qint64 id);

    // An entry and what the search looks at, folded once instead of at every keystroke.
    struct Row
    {
        HistoryEntry entry;
        QString searchKey;
    };
    static Row makeRow(const HistoryEntry &entry);
    bool before(const HistoryEntry &a, const HistoryEntry &b) const;
    void sortRows();

    HistoryStore *m_store;
    QList<Row> m_entries;
    int m_sortColumn = -1; // recording order
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    QCollator m_collator;
    bool m_loading = false;
    // What the store announced while a load was under way, applied to its result.
    QList<HistoryEntry> m_recordedMeanwhile;
    QList<qint64> m_removedMeanwhile;
};

// The search: a row stays when its file name or its service contains the text, case aside.
// Sorting is the source's own (dates and sizes as numbers), done once per header click.
class HistoryFilter : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    explicit HistoryFilter(HistoryModel *source, QObject *parent = nullptr);

    void setSearch(const QString &text);
    const HistoryEntry &entryAt(const QModelIndex &index) const;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    HistoryModel *m_source;
    QString m_search;
};

} // namespace skyloft
