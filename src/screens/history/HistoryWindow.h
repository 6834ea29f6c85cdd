// SPDX-License-Identifier: MIT
#pragma once

#include "history/HistoryEntry.h"
#include "ui/SaveFileChooser.h"
#include "ui/UrlOpener.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QMenu;
class QTableView;

namespace skyloft {

class ExportButton;
class HistoryFilter;
class HistoryModel;
class HistoryStore;

struct HistoryWindowSetup
{
    UrlOpener openUrl;
    SaveFileChooser chooseFile;

    // The desktop's browser and save dialog.
    static HistoryWindowSetup forApplication();
};

// "Historial": every recorded pair in a sortable table, a search by file name or service as one
// types, exports of the links shown, and a menu per row (right click, the menu key or Return).
// Rows can be selected together, to try every failed one of them again in one run. Escape
// closes the window.
class HistoryWindow : public QWidget
{
    Q_OBJECT
public:
    HistoryWindow(HistoryStore *store, HistoryWindowSetup setup, QWidget *parent = nullptr);

    QLineEdit *searchField() const { return m_search; }
    QTableView *table() const { return m_table; }
    ExportButton *exportButton() const { return m_export; }

    // The menu of the row at `index` of the table's model, owned by the caller.
    QMenu *rowMenu(const QModelIndex &index);

protected:
    void keyPressEvent(QKeyEvent *event) override;

Q_SIGNALS:
    // "Reintentar": these failed pairs should be run again, together.
    void retryRequested(const QList<skyloft::PairOutcome> &pairs);

private:
    void showRowMenu(const QModelIndex &index, const QPoint &globalPos);
    // The failed pairs of the selection when it holds `index`, else of that row alone.
    QList<PairOutcome> failedPairsFor(const QModelIndex &index) const;
    void askToDelete(const HistoryEntry &entry);
    void updateCount();

    HistoryStore *m_store;
    HistoryWindowSetup m_setup;
    HistoryModel *m_model;
    HistoryFilter *m_filter;
    QLineEdit *m_search;
    QTableView *m_table;
    ExportButton *m_export;
    QLabel *m_count;
};

} // namespace skyloft
