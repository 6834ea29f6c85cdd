// SPDX-License-Identifier: MIT
#include "screens/links/LinkCardDelegate.h"

#include "screens/links/LinksModel.h"
#include "ui/Images.h"
#include "ui/SystemStyle.h"

#include <QAbstractItemView>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace skyloft {

namespace {

constexpr int kSectionSpacing = 16; // between the blocks of two services
constexpr int kItemSpacing = 8;     // between a header and its cards, and between cards
constexpr int kCardSpacing = 4;     // between a card's file name and its link row
constexpr int kRowSpacing = 8;      // between the link and the copy button
constexpr qreal kCardRadius = 10;
constexpr qreal kButtonRadius = 8;

const QString kReintentar = QStringLiteral("Reintentar");

bool isHeader(const QModelIndex &index)
{
    return index.data(LinksModel::KindRole).toInt() == LinksModel::HeaderRow;
}

// The screen's padding opens the list and closes it; blocks and cards are spaced in between.
int topGap(const QModelIndex &index)
{
    if (index.row() == 0)
        return kDefaultPadding;
    return isHeader(index) ? kSectionSpacing : kItemSpacing;
}

int bottomGap(const QModelIndex &index)
{
    return index.row() == index.model()->rowCount() - 1 ? kDefaultPadding : 0;
}

QRect contentRect(const QRect &itemRect, const QModelIndex &index)
{
    return itemRect.adjusted(kDefaultPadding, topGap(index), -kDefaultPadding, -bottomGap(index));
}

QPainterPath roundedRect(const QRectF &rect, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

} // namespace

LinkCardDelegate::LinkCardDelegate(QObject *parent)
    : QStyledItemDelegate(parent), m_fonts{textStyleFont(TextStyle::Title2, true),
                                           textStyleFont(TextStyle::Subheadline, true),
                                           textStyleFont(TextStyle::Caption)}
{
    m_fonts.titleHeight = QFontMetrics(m_fonts.title).height();
    m_fonts.fileNameHeight = QFontMetrics(m_fonts.fileName).height();
}

QSize LinkCardDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    int height = 0;
    if (isHeader(index)) {
        height = std::max(kHeaderImageSize, m_fonts.titleHeight);
    } else {
        height = 2 * kDefaultPadding + m_fonts.fileNameHeight + kCardSpacing + kCopyButtonSize;
    }
    return {option.rect.width(), topGap(index) + height + bottomGap(index)};
}

void LinkCardDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                             const QModelIndex &index) const
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    if (isHeader(index))
        paintHeader(painter, contentRect(option.rect, index), index,
                    painter->device()->devicePixelRatioF());
    else
        paintCard(painter, option, index);
    painter->restore();
}

void LinkCardDelegate::paintHeader(QPainter *painter, const QRect &rect, const QModelIndex &index,
                                   qreal devicePixelRatio) const
{
    const QPixmap image = cachedImagePixmap(index.data(LinksModel::ImageNameRole).toString(),
                                            {kHeaderImageSize, kHeaderImageSize}, devicePixelRatio);
    const QRect imageRect(rect.left(), rect.center().y() - kHeaderImageSize / 2, kHeaderImageSize,
                          kHeaderImageSize);
    if (!image.isNull())
        painter->drawPixmap(imageRect, image);

    painter->setFont(m_fonts.title);
    painter->setPen(nearBlack());
    const QRect titleRect = rect.adjusted(kHeaderImageSize + kItemSpacing, 0, 0, 0);
    painter->drawText(titleRect, Qt::AlignLeft | Qt::AlignVCenter,
                      index.data(Qt::DisplayRole).toString());
}

void LinkCardDelegate::paintCard(QPainter *painter, const QStyleOptionViewItem &option,
                                 const QModelIndex &index) const
{
    const QRectF card = QRectF(contentRect(option.rect, index)).adjusted(0.5, 0.5, -0.5, -0.5);
    const QPainterPath outline = roundedRect(card, kCardRadius);
    painter->fillPath(outline, systemGray(0.1));
    const bool keyboardFocus = (option.state & QStyle::State_HasFocus) &&
                               qobject_cast<const QWidget *>(option.widget) &&
                               option.widget->hasFocus();
    painter->strokePath(outline, keyboardFocus ? QPen(systemBlue(), 2) : QPen(systemGray(0.4), 1));

    const QRect inner =
        contentRect(option.rect, index)
            .adjusted(kDefaultPadding, kDefaultPadding, -kDefaultPadding, -kDefaultPadding);
    const QFont &fileFont = m_fonts.fileName;
    painter->setFont(fileFont);
    painter->setPen(nearBlack());
    const QRect fileRect(inner.left(), inner.top(), inner.width(), m_fonts.fileNameHeight);
    painter->drawText(fileRect, Qt::AlignLeft | Qt::AlignVCenter,
                      QFontMetrics(fileFont).elidedText(index.data(Qt::DisplayRole).toString(),
                                                        Qt::ElideRight, fileRect.width()));

    const QRect button = copyButtonRect(option.rect, index);
    const QRect linkRect(inner.left(), button.top(), button.left() - kRowSpacing - inner.left(),
                         button.height());
    const QFont &linkFont = m_fonts.link;
    painter->setFont(linkFont);
    const bool failed = isFailedCard(index);
    // A failed pair shows what went wrong and what rclone said, where the link would be.
    const QString text = failed ? index.data(LinksModel::FailureRole).toString() +
                                      QStringLiteral(" · ") +
                                      index.data(LinksModel::DetailRole).toString()
                                : index.data(LinksModel::LinkRole).toString();
    painter->setPen(failed ? systemRed() : systemBlue());
    painter->drawText(linkRect, Qt::AlignLeft | Qt::AlignVCenter,
                      QFontMetrics(linkFont).elidedText(
                          text, failed ? Qt::ElideRight : Qt::ElideMiddle, linkRect.width()));

    if (index == m_coveredButton)
        return;
    if (failed)
        paintRetryButton(painter, button);
    else
        paintCopyButton(painter, button, painter->device()->devicePixelRatioF());
}

void LinkCardDelegate::setCoveredButton(const QModelIndex &index)
{
    m_coveredButton = index;
}

QRect LinkCardDelegate::copyButtonRect(const QRect &itemRect, const QModelIndex &index) const
{
    const QRect inner =
        contentRect(itemRect, index)
            .adjusted(kDefaultPadding, kDefaultPadding, -kDefaultPadding, -kDefaultPadding);
    const int width =
        isFailedCard(index)
            ? QFontMetrics(retryFont()).horizontalAdvance(kReintentar) + 2 * kCopyButtonPadding
            : kCopyButtonSize;
    return {inner.right() + 1 - width, inner.top() + m_fonts.fileNameHeight + kCardSpacing, width,
            kCopyButtonSize};
}

bool LinkCardDelegate::isFailedCard(const QModelIndex &index)
{
    return !index.data(LinksModel::FailureRole).toString().isEmpty();
}

QFont LinkCardDelegate::retryFont()
{
    return textStyleFont(TextStyle::Caption, true);
}

void LinkCardDelegate::paintRetryButton(QPainter *painter, const QRect &rect)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->fillPath(roundedRect(rect, kButtonRadius), systemBlue(0.1));
    painter->setFont(retryFont());
    painter->setPen(systemBlue());
    painter->drawText(rect, Qt::AlignCenter, kReintentar);
    painter->restore();
}

void LinkCardDelegate::paintCopyButton(QPainter *painter, const QRect &rect, qreal devicePixelRatio)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->fillPath(roundedRect(rect, kButtonRadius), systemBlue(0.1));
    const QPixmap icon =
        cachedImagePixmap(QStringLiteral("doc.on.doc"), {kCopyIconSize, kCopyIconSize},
                          devicePixelRatio, systemBlue());
    if (!icon.isNull()) {
        painter->drawPixmap(rect.adjusted(kCopyButtonPadding, kCopyButtonPadding,
                                          -kCopyButtonPadding, -kCopyButtonPadding),
                            icon);
    }
    painter->restore();
}

bool LinkCardDelegate::editorEvent(QEvent *event, QAbstractItemModel *model,
                                   const QStyleOptionViewItem &option, const QModelIndex &index)
{
    if (event->type() == QEvent::MouseButtonRelease && !isHeader(index)) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton &&
            copyButtonRect(option.rect, index).contains(mouse->position().toPoint())) {
            Q_EMIT copyRequested(index);
            return true;
        }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}

} // namespace skyloft
