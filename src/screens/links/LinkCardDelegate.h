// SPDX-License-Identifier: MIT
#pragma once

#include <QPersistentModelIndex>
#include <QStyledItemDelegate>

namespace skyloft {

// Draws the rows of LinksModel: a section header (image and title) or a link card (file name,
// the link on one line, a copy button). Painting instead of one widget per link keeps a list of
// thousands of links cheap to scroll.
class LinkCardDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit LinkCardDelegate(QObject *parent = nullptr);

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;

    // Where a card row whose item occupies `itemRect` draws its copy button.
    QRect copyButtonRect(const QRect &itemRect, const QModelIndex &index) const;
    // The copy button's face, shared with the real button laid over the current card.
    static void paintCopyButton(QPainter *painter, const QRect &rect, qreal devicePixelRatio);
    // A failed pair's card has "Reintentar" in the copy button's place.
    static void paintRetryButton(QPainter *painter, const QRect &rect);
    static bool isFailedCard(const QModelIndex &index);
    static QFont retryFont();

    // The card whose copy button is a real widget laid over it, and is not painted here.
    void setCoveredButton(const QModelIndex &index);

    static constexpr int kHeaderImageSize = 25;
    static constexpr int kCopyIconSize = 16;
    static constexpr int kCopyButtonPadding = 8;
    static constexpr int kCopyButtonSize = kCopyIconSize + 2 * kCopyButtonPadding;

Q_SIGNALS:
    void copyRequested(const QModelIndex &index);

private:
    void paintHeader(QPainter *painter, const QRect &rect, const QModelIndex &index,
                     qreal devicePixelRatio) const;
    void paintCard(QPainter *painter, const QStyleOptionViewItem &option,
                   const QModelIndex &index) const;

    // Read once: sizeHint runs for every row at each layout.
    struct RowFonts
    {
        QFont title;
        QFont fileName;
        QFont link;
        int titleHeight = 0;
        int fileNameHeight = 0;
    };
    RowFonts m_fonts;
    QPersistentModelIndex m_coveredButton;
};

} // namespace skyloft
