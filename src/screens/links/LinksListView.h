// SPDX-License-Identifier: MIT
#pragma once

#include <QListView>

namespace skyloft {

class CopyLinkButton;
class LinkCardDelegate;

// The scrolling list of section headers and link cards. The keyboard moves from card to card;
// Return, Space or Copy on a card copies its link, and a real copy button rides on the current
// card.
class LinksListView : public QListView
{
    Q_OBJECT
public:
    explicit LinksListView(QWidget *parent = nullptr);

    void setModel(QAbstractItemModel *model) override;
    LinkCardDelegate *cardDelegate() const { return m_delegate; }
    CopyLinkButton *copyButton() const { return m_copyButton; }

Q_SIGNALS:
    void copyRequested(const QString &link);
    // "Reintentar" on the card of a failed pair, at this place in GeneratedLinks.
    void retryRequested(const QString &remoteName, qsizetype item);

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void keyPressEvent(QKeyEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;

private:
    bool isCard(int row) const;
    QModelIndex nearestCard(int row, int step) const;
    void requestCopy(const QModelIndex &index);
    void placeCopyButton();

    LinkCardDelegate *m_delegate;
    CopyLinkButton *m_copyButton;
};

} // namespace skyloft
