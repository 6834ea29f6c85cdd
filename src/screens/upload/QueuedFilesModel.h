// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractListModel>

namespace skyloft {

class UploadState;

// The upload queue as rows: one per queued path, in queue order, showing the file's name. Each
// append adds one row, so a view of thousands of files stays cheap to fill and to scroll.
class QueuedFilesModel : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Role
    {
        PathRole = Qt::UserRole + 1 // the queued path, the row's identity
    };

    explicit QueuedFilesModel(const UploadState *state, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    void appendRows(qsizetype first, qsizetype count);
    void resetIfShrunk();

    const UploadState *m_state;
    int m_rows = 0;
};

} // namespace skyloft
