// SPDX-License-Identifier: MIT
#include "screens/history/HistoryModel.h"

#include "history/HistoryStore.h"
#include "ui/SystemStyle.h"
#include "upload/FailureCause.h"

#include <QFutureWatcher>
#include <QHash>
#include <QLocale>
#include <QSet>
#include <QtConcurrent>

#include <algorithm>
#include <type_traits>
#include <utility>
#include <vector>

namespace skyloft {

namespace {

QString headerText(int column)
{
    switch (column) {
    case HistoryModel::Fecha:
        return QStringLiteral("Fecha");
    case HistoryModel::Servicio:
        return QStringLiteral("Servicio");
    case HistoryModel::Archivo:
        return QStringLiteral("Archivo");
    case HistoryModel::Estado:
        return QStringLiteral("Estado");
    case HistoryModel::Tamano:
        return QStringLiteral("Tamaño");
    case HistoryModel::Enlace:
        return QStringLiteral("Enlace");
    }
    return {};
}

const QLocale &spanish()
{
    static const QLocale locale(QLocale::Spanish, QLocale::Spain);
    return locale;
}

QString displayText(const HistoryEntry &entry, int column)
{
    const PairOutcome &pair = entry.pair;
    switch (column) {
    case HistoryModel::Fecha:
        return entry.when.toLocalTime().toString(QStringLiteral("dd/MM/yyyy HH:mm"));
    case HistoryModel::Servicio:
        return pair.service;
    case HistoryModel::Archivo:
        return pair.fileName;
    case HistoryModel::Estado:
        return pairStateText(pair.state);
    case HistoryModel::Tamano:
        return pair.size < 0 ? QStringLiteral("—")
                             : spanish().formattedDataSize(pair.size, 1, QLocale::DataSizeSIFormat);
    case HistoryModel::Enlace:
        return pair.link;
    }
    return {};
}

// Sorts rows by a key worked out once per row rather than at every comparison: 100,000 rows
// compared by name through the locale kept the window still for a third of a second.
template <typename Row, typename KeyOf>
void sortByKey(QList<Row> &rows, KeyOf keyOf, bool ascending)
{
    using Key = std::invoke_result_t<KeyOf, const Row &>;
    std::vector<std::pair<Key, Row>> keyed;
    keyed.reserve(size_t(rows.size()));
    for (Row &row : rows) {
        Key key = keyOf(std::as_const(row));
        keyed.emplace_back(std::move(key), std::move(row));
    }
    std::stable_sort(keyed.begin(), keyed.end(), [ascending](const auto &a, const auto &b) {
        return ascending ? a.first < b.first : b.first < a.first;
    });
    for (qsizetype i = 0; i < rows.size(); ++i)
        rows[i] = std::move(keyed[size_t(i)].second);
}

} // namespace

HistoryModel::HistoryModel(HistoryStore *store, QObject *parent)
    : QAbstractTableModel(parent), m_store(store)
{
    reload();
    connect(store, &HistoryStore::recorded, this, &HistoryModel::append);
    connect(store, &HistoryStore::removed, this, &HistoryModel::removeId);
}

int HistoryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

int HistoryModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant HistoryModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_entries.size())
        return {};
    const HistoryEntry &entry = m_entries.at(index.row()).entry;
    switch (role) {
    case Qt::DisplayRole:
        return displayText(entry, index.column());
    case Qt::ToolTipRole:
        if (index.column() == Archivo)
            return entry.pair.localPath;
        if (index.column() == Estado)
            return failureSentence(entry.pair);
        if (index.column() == Enlace)
            return entry.pair.link;
        return {};
    case Qt::AccessibleDescriptionRole:
        return index.column() == Estado ? failureSentence(entry.pair) : QString();
    case Qt::ForegroundRole:
        if (index.column() == Estado && entry.pair.state != PairState::Subido)
            return systemRed();
        return {};
    }
    return {};
}

QVariant HistoryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return headerText(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

HistoryModel::Row HistoryModel::makeRow(const HistoryEntry &entry)
{
    // The separator keeps a match from spanning the file name and the service.
    return {entry,
            entry.pair.fileName.toCaseFolded() + QChar(0) + entry.pair.service.toCaseFolded()};
}

void HistoryModel::reload()
{
    if (m_loading)
        return;
    if (!m_store->isPersistent()) {
        setEntries(m_store->entries());
        Q_EMIT loaded();
        return;
    }
    m_recordedMeanwhile.clear();
    m_removedMeanwhile.clear();
    m_loading = true;
    auto *watcher = new QFutureWatcher<QList<HistoryEntry>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
        watcher->deleteLater();
        QList<HistoryEntry> entries = watcher->result();
        QSet<qint64> known;
        for (const HistoryEntry &entry : entries)
            known.insert(entry.id);
        for (const HistoryEntry &entry : std::as_const(m_recordedMeanwhile)) {
            if (!known.contains(entry.id))
                entries.append(entry);
        }
        entries.removeIf(
            [this](const HistoryEntry &entry) { return m_removedMeanwhile.contains(entry.id); });
        m_loading = false;
        setEntries(std::move(entries));
        Q_EMIT loaded();
    });
    // The reading connection sees only what this store has committed.
    m_store->flush();
    watcher->setFuture(QtConcurrent::run(&HistoryStore::readFile, m_store->path()));
}

void HistoryModel::setEntries(QList<HistoryEntry> entries)
{
    beginResetModel();
    m_entries.clear();
    m_entries.reserve(entries.size());
    for (const HistoryEntry &entry : entries)
        m_entries.append(makeRow(entry));
    sortRows();
    endResetModel();
}

// Compares the entries themselves: going through display texts would sort dates and sizes as
// words and cost a string per comparison.
bool HistoryModel::before(const HistoryEntry &a, const HistoryEntry &b) const
{
    const auto ordered = [this](const auto &x, const auto &y) {
        return m_sortOrder == Qt::AscendingOrder ? x < y : y < x;
    };
    switch (m_sortColumn) {
    case Fecha:
        return ordered(std::pair(a.when.toMSecsSinceEpoch(), a.id),
                       std::pair(b.when.toMSecsSinceEpoch(), b.id));
    case Tamano:
        return ordered(a.pair.size, b.pair.size);
    case Estado:
        return ordered(pairStateText(a.pair.state), pairStateText(b.pair.state));
    case Servicio:
    case Archivo:
    case Enlace: {
        const int c =
            m_collator.compare(displayText(a, m_sortColumn), displayText(b, m_sortColumn));
        return m_sortOrder == Qt::AscendingOrder ? c < 0 : c > 0;
    }
    }
    return a.id < b.id;
}

// The order of before(), with each row's key worked out once.
void HistoryModel::sortRows()
{
    const bool ascending = m_sortOrder == Qt::AscendingOrder;
    switch (m_sortColumn) {
    case Fecha:
        return sortByKey(
            m_entries,
            [](const Row &row) {
                return std::pair(row.entry.when.toMSecsSinceEpoch(), row.entry.id);
            },
            ascending);
    case Tamano:
        return sortByKey(
            m_entries, [](const Row &row) { return row.entry.pair.size; }, ascending);
    case Estado:
        return sortByKey(
            m_entries, [](const Row &row) { return pairStateText(row.entry.pair.state); },
            ascending);
    case Servicio:
    case Archivo:
    case Enlace:
        return sortByKey(
            m_entries,
            [this](const Row &row) {
                return m_collator.sortKey(displayText(row.entry, m_sortColumn));
            },
            ascending);
    }
    sortByKey(
        m_entries, [](const Row &row) { return row.entry.id; }, true);
}

void HistoryModel::sort(int column, Qt::SortOrder order)
{
    // Rows are kept in order as they come, so asking again for the same order (QTableView does,
    // once from its header and once itself) changes nothing.
    if (column == m_sortColumn && order == m_sortOrder)
        return;
    m_sortColumn = column;
    m_sortOrder = order;
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QList<qint64> ids;
    for (const QModelIndex &index : before)
        ids.append(m_entries.at(index.row()).entry.id);
    sortRows();
    QHash<qint64, int> rowOf;
    for (int row = 0; row < m_entries.size(); ++row)
        rowOf.insert(m_entries.at(row).entry.id, row);
    QModelIndexList after;
    for (int i = 0; i < before.size(); ++i)
        after.append(index(rowOf.value(ids.at(i)), before.at(i).column()));
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void HistoryModel::append(const HistoryEntry &entry)
{
    if (m_loading) {
        m_recordedMeanwhile.append(entry);
        return;
    }
    const auto place = std::upper_bound(
        m_entries.cbegin(), m_entries.cend(), entry,
        [this](const HistoryEntry &a, const Row &b) { return before(a, b.entry); });
    const int row = int(place - m_entries.cbegin());
    beginInsertRows({}, row, row);
    m_entries.insert(row, makeRow(entry));
    endInsertRows();
}

void HistoryModel::removeId(qint64 id)
{
    if (m_loading)
        m_removedMeanwhile.append(id);
    for (int row = 0; row < m_entries.size(); ++row) {
        if (m_entries.at(row).entry.id != id)
            continue;
        beginRemoveRows({}, row, row);
        m_entries.removeAt(row);
        endRemoveRows();
        return;
    }
}

HistoryFilter::HistoryFilter(HistoryModel *source, QObject *parent)
    : QSortFilterProxyModel(parent), m_source(source)
{
    setSourceModel(source);
}

void HistoryFilter::setSearch(const QString &text)
{
    const QString search = text.trimmed().toCaseFolded();
    if (search == m_search)
        return;
    m_search = search;
    // One layout change: removing the hidden rows range by range costs far more on a long list.
    invalidate();
}

const HistoryEntry &HistoryFilter::entryAt(const QModelIndex &index) const
{
    return m_source->entryAt(mapToSource(index).row());
}

bool HistoryFilter::filterAcceptsRow(int sourceRow, const QModelIndex &) const
{
    return m_search.isEmpty() || m_source->rowMatches(sourceRow, m_search);
}

void HistoryFilter::sort(int column, Qt::SortOrder order)
{
    m_source->sort(column, order);
}

} // namespace skyloft
