// SPDX-License-Identifier: MIT
#include "screens/upload/QueuedFilesModel.h"

#include "ui/SystemStyle.h"
#include "upload/CopyJob.h"
#include "upload/UploadState.h"

#include <QFont>

namespace skyloft {

QueuedFilesModel::QueuedFilesModel(const UploadState *state, QObject *parent)
    : QAbstractListModel(parent), m_state(state), m_rows(int(state->archivosSeleccionados().size()))
{
    connect(state, &UploadState::archivosAppended, this, &QueuedFilesModel::appendRows);
    connect(state, &UploadState::archivosSeleccionadosChanged, this,
            &QueuedFilesModel::resetIfShrunk);
}

int QueuedFilesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

QVariant QueuedFilesModel::data(const QModelIndex &index, int role) const
{
    const QStringList &paths = m_state->archivosSeleccionados();
    if (!index.isValid() || index.row() >= paths.size())
        return {};
    const QString &path = paths.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return lastPathComponent(path);
    case Qt::ToolTipRole:
    case PathRole:
        return path;
    case Qt::ForegroundRole:
        return systemBlue();
    case Qt::FontRole:
        return textStyleFont(TextStyle::Footnote);
    case Qt::TextAlignmentRole:
        return int(Qt::AlignCenter);
    default:
        return {};
    }
}

void QueuedFilesModel::appendRows(qsizetype, qsizetype count)
{
    beginInsertRows({}, m_rows, m_rows + int(count) - 1);
    m_rows += int(count);
    endInsertRows();
}

// The queue only grows at its end or is emptied at once.
void QueuedFilesModel::resetIfShrunk()
{
    if (m_state->archivosSeleccionados().size() >= m_rows)
        return;
    beginResetModel();
    m_rows = int(m_state->archivosSeleccionados().size());
    endResetModel();
}

} // namespace skyloft
