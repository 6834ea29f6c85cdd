// SPDX-License-Identifier: MIT
#pragma once

#include <QStyledItemDelegate>

namespace skyloft {

// Draws the rows of LinksModel: a section header (image and title), a link card (file name, the
// link on one line, a copy button) or a failed pair's card (file name, what happened and what to
// do in full, a "Detalles" disclosure with rclone's last lines, "Reintentar"). Painting instead
// of one widget per link keeps a list of thousands of links cheap to scroll.
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

    // Where a card row whose item occupies `itemRect` draws its copy button ("Reintentar" on a
    // failed pair's card), and a failed card its "Detalles" disclosure.
    QRect copyButtonRect(const QRect &itemRect, const QModelIndex &index) const;
    QRect detailsToggleRect(const QRect &itemRect, const QModelIndex &index) const;
    static bool isFailedCard(const QModelIndex &index);

    static constexpr int kHeaderImageSize = 25;
    static constexpr int kCopyIconSize = 16;
    static constexpr int kCopyButtonPadding = 8;
    static constexpr int kCopyButtonSize = kCopyIconSize + 2 * kCopyButtonPadding;

Q_SIGNALS:
    void copyRequested(const QModelIndex &index);
    void detailsToggled(const QModelIndex &index);

private:
    void paintHeader(QPainter *painter, const QRect &rect, const QModelIndex &index,
                     qreal devicePixelRatio) const;
    void paintCard(QPainter *painter, const QStyleOptionViewItem &option,
                   const QModelIndex &index) const;
    void paintFailure(QPainter *painter, const QRect &itemRect, const QModelIndex &index) const;
    // A failed card's texts as wrapped in `width`: the explanation, then the details if open.
    int failureTextHeight(const QModelIndex &index, int width) const;
    static int innerWidth(const QStyleOptionViewItem &option);

    // Read once: sizeHint runs for every row at each layout.
    struct RowFonts
    {
        QFont title;
        QFont fileName;
        QFont link;
        QFont button;
        QFont details;
        int titleHeight = 0;
        int fileNameHeight = 0;
    };
    RowFonts m_fonts;
};

} // namespace skyloft
