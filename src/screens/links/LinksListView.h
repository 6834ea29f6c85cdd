// SPDX-License-Identifier: MIT
#pragma once

#include <QListView>

namespace skyloft {

class LinkCardDelegate;

// The scrolling list of section headers and link cards. The keyboard moves from card to card;
// Return, Space or Copy on a card copies its link or retries its failed pair, and Right and Left
// open and close a failed card's details. Assistive technology sees one item per row, each card
// with the same actions.
class LinksListView : public QListView
{
    Q_OBJECT
public:
    explicit LinksListView(QWidget *parent = nullptr);

    void setModel(QAbstractItemModel *model) override;
    LinkCardDelegate *cardDelegate() const { return m_delegate; }

    // What a click on the card's button does: copy its link, or retry its failed pair.
    void activate(const QModelIndex &index);
    // Opens or closes a failed card's details.
    void setDetailsShown(const QModelIndex &index, bool shown);

Q_SIGNALS:
    void copyRequested(const QString &link);
    // "Reintentar" on the card of a failed pair, at this place in GeneratedLinks.
    void retryRequested(const QString &remoteName, qsizetype item);

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool isCard(int row) const;
    QModelIndex nearestCard(int row, int step) const;

    LinkCardDelegate *m_delegate;
};

} // namespace skyloft
