// SPDX-License-Identifier: MIT
#include "screens/links/LinksModel.h"

#include "core/ServiceCatalog.h"
#include "screens/links/ServiceSection.h"
#include "upload/FailureCause.h"
#include "upload/GeneratedLinks.h"

#include <algorithm>

namespace skyloft {

namespace {

QString failureText(const LinkItem &item)
{
    switch (item.state) {
    case PairState::CopiaFallida:
        return QStringLiteral("⚠️ La copia falló");
    case PairState::EnlaceFallido:
        return QStringLiteral("⚠️ No se obtuvo el enlace");
    case PairState::Subido:
    case PairState::Cancelado:
        break;
    }
    return {};
}

QString explanation(const LinkItem &item)
{
    return failureSentence(item.state, item.cause, item.service,
                           item.rcloneOutput.isEmpty() ? item.detail : item.rcloneOutput);
}

} // namespace

LinksModel::LinksModel(GeneratedLinks *generatedLinks, QObject *parent)
    : QAbstractListModel(parent), m_generatedLinks(generatedLinks), m_rows(rowsFromLinks())
{
    connect(m_generatedLinks, &GeneratedLinks::appended, this, &LinksModel::onAppended);
    connect(m_generatedLinks, &GeneratedLinks::replaced, this, &LinksModel::onReplaced);
    connect(m_generatedLinks, &GeneratedLinks::changed, this, &LinksModel::rebuildIfStale);
}

int LinksModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant LinksModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Row &row = m_rows.at(index.row());
    if (role == KindRole)
        return row.item < 0 ? HeaderRow : CardRow;
    if (role == SectionRole)
        return row.section;
    if (row.item < 0) {
        switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            return sectionTitle(row.section);
        case ImageNameRole:
            return linksSectionImageName(row.section);
        default:
            return {};
        }
    }
    const LinkItem *item = itemAt(row);
    if (!item)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return item->fileName;
    case LinkRole:
        return item->link;
    case FailureRole:
        return failureText(*item);
    case ExplanationRole:
        return explanation(*item);
    case DetailRole:
        return item->failed() && !item->rcloneOutput.isEmpty() ? item->rcloneOutput : item->detail;
    case ExpandedRole:
        return m_expanded.contains({row.section, row.item});
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole:
        return item->failed() ? failureText(*item) + QStringLiteral(". ") + explanation(*item)
                              : item->link;
    default:
        return {};
    }
}

Qt::ItemFlags LinksModel::flags(const QModelIndex &index) const
{
    // Headers take no focus: the keyboard moves from card to card.
    return isCard(index) ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

bool LinksModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != ExpandedRole || !isCard(index) || index.data(FailureRole).toString().isEmpty())
        return false;
    const Row &row = m_rows.at(index.row());
    if (value.toBool() == m_expanded.contains({row.section, row.item}))
        return true;
    if (value.toBool())
        m_expanded.insert({row.section, row.item});
    else
        m_expanded.remove({row.section, row.item});
    Q_EMIT dataChanged(index, index, {ExpandedRole});
    return true;
}

QPair<QString, qsizetype> LinksModel::itemPosition(const QModelIndex &index) const
{
    if (!isCard(index))
        return {QString(), -1};
    const Row &row = m_rows.at(index.row());
    return {row.section, row.item};
}

void LinksModel::onReplaced(const QString &remoteName, qsizetype item)
{
    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        if (m_rows.at(i).section == remoteName && m_rows.at(i).item == item) {
            m_expanded.remove({remoteName, item}); // a retried card starts closed
            const QModelIndex changed = index(int(i), 0);
            Q_EMIT dataChanged(changed, changed);
            return;
        }
    }
}

bool LinksModel::isCard(const QModelIndex &index) const
{
    return index.isValid() && index.row() < m_rows.size() && m_rows.at(index.row()).item >= 0;
}

void LinksModel::onAppended(const QString &remoteName, qsizetype first, qsizetype count)
{
    // Rows are sorted by section, each header before its cards: the section is found by halves.
    const auto bySection = [](const Row &row, const QString &section) {
        return sectionBefore(row.section, section);
    };
    const auto begin = std::lower_bound(m_rows.cbegin(), m_rows.cend(), remoteName, bySection);
    const bool newSection = begin == m_rows.cend() || begin->section != remoteName;
    const auto end = std::upper_bound(
        begin, m_rows.cend(), remoteName,
        [](const QString &section, const Row &row) { return sectionBefore(section, row.section); });
    const qsizetype position = end - m_rows.cbegin();
    QList<Row> added;
    added.reserve(count + 1);
    if (newSection)
        added.append({remoteName, -1});
    for (qsizetype i = 0; i < count; ++i)
        added.append({remoteName, first + i});
    beginInsertRows({}, int(position), int(position + added.size()) - 1);
    m_rows.insert(position, added.size(), Row{});
    std::copy(added.cbegin(), added.cend(), m_rows.begin() + position);
    endInsertRows();
}

void LinksModel::rebuildIfStale()
{
    // Links are only ever appended (followed row by row) or all cleared, so the row count tells
    // whether this model still matches the dictionary.
    const LinksByRemote &links = m_generatedLinks->links();
    qsizetype expectedRows = links.size();
    for (const QList<LinkItem> &items : links)
        expectedRows += items.size();
    if (expectedRows == m_rows.size())
        return;
    beginResetModel();
    m_rows = rowsFromLinks();
    m_expanded.clear();
    endResetModel();
}

QList<LinksModel::Row> LinksModel::rowsFromLinks() const
{
    QList<Row> rows;
    for (const ServiceSection &section : serviceSections(m_generatedLinks->links())) {
        rows.append({section.id, -1});
        for (qsizetype i = 0; i < section.items.size(); ++i)
            rows.append({section.id, i});
    }
    return rows;
}

const LinkItem *LinksModel::itemAt(const Row &row) const
{
    const auto it = m_generatedLinks->links().constFind(row.section);
    if (it == m_generatedLinks->links().cend() || row.item >= it->size())
        return nullptr;
    return &it->at(row.item);
}

} // namespace skyloft
