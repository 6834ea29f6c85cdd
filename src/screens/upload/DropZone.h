// SPDX-License-Identifier: MIT
#pragma once

#include "screens/upload/FileChooser.h"

#include <QWidget>

class QAbstractItemModel;
class QLabel;
class QListView;
class QMenu;
class QStackedLayout;
class QUrl;

namespace skyloft {

class StyledButton;

// The upload screen's drop target: a dashed rounded outline holding either the invitation to drop
// files or the list of queued file names with the button that empties the queue. Drops of file
// URLs are always accepted; each URL is handed on with a queued call, on the GUI thread. The zone
// lights up while something is dragged over it. A click anywhere on it, also on the list, or
// Return, Enter or Space while it has the focus, offers "Elegir archivos…" and "Elegir
// carpeta…". Under the list a line counts the queued files.
class DropZone : public QWidget
{
    Q_OBJECT
public:
    // `queuedFiles` lists the queue (one file name a row); the zone follows its rows.
    explicit DropZone(QAbstractItemModel *queuedFiles, QWidget *parent = nullptr);

    QListView *fileList() const { return m_list; }
    StyledButton *clearButton() const { return m_clear; }
    QLabel *countLine() const { return m_count; }
    // The two chooser entries, shown by a click or a key.
    QMenu *chooserMenu() const { return m_chooserMenu; }
    bool isEmpty() const;

    static constexpr int kWidth = 500;
    static constexpr int kHeight = 150;

Q_SIGNALS:
    void urlDropped(const QUrl &url);
    void chooseRequested(skyloft::ChooserKind kind);
    void clearRequested();

protected:
    void paintEvent(QPaintEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    QWidget *makeEmptyPage();
    QWidget *makeListPage(QAbstractItemModel *queuedFiles);
    void showPageForQueue();
    void setDraggedOver(bool draggedOver);
    void offerChoosers(const QPoint &globalPosition);
    void offerChoosersFromKeyboard();

    // Set while the list page is made, so declared before it.
    QListView *m_list = nullptr;
    StyledButton *m_clear = nullptr;
    QLabel *m_count = nullptr;
    QMenu *m_chooserMenu;
    bool m_draggedOver = false;
    QAbstractItemModel *m_queuedFiles;
    QStackedLayout *m_pages;
    QWidget *m_emptyPage;
    QWidget *m_listPage;
};

} // namespace skyloft
