// SPDX-License-Identifier: MIT
#include "screens/links/LinkCardDelegate.h"

#include "screens/links/LinksModel.h"
#include "ui/Images.h"
#include "ui/SystemStyle.h"

#include <QAbstractItemView>
#include <QFontDatabase>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>
#include <QtMath>

namespace skyloft {

namespace {

constexpr int kSectionSpacing = 16; // between the blocks of two services
constexpr int kItemSpacing = 8;     // between a header and its cards, and between cards
constexpr int kCardSpacing = 4;     // between a card's file name and its link row
constexpr int kRowSpacing = 8;      // between the link and the copy button
constexpr qreal kCardRadius = 10;
constexpr qreal kButtonRadius = 8;

const QString kReintentar = QStringLiteral("Reintentar");
const QString kDetalles = QStringLiteral("Detalles");

bool isExpanded(const QModelIndex &index)
{
    return index.data(LinksModel::ExpandedRole).toBool();
}

// Wraps at word boundaries, and inside a word too long for a line (paths, addresses); returns
// the height. Line feeds in `text` start new lines.
qreal wrap(QTextLayout &layout, const QString &text, const QFont &font, int width)
{
    layout.setText(QString(text).replace(QLatin1Char('\n'), QChar::LineSeparator));
    layout.setFont(font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    qreal height = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition({0, height});
        height += line.height();
    }
    layout.endLayout();
    return height;
}

QString explanationText(const QModelIndex &index)
{
    return index.data(LinksModel::FailureRole).toString() + QStringLiteral(". ") +
           index.data(LinksModel::ExplanationRole).toString();
}

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
                                           textStyleFont(TextStyle::Caption),
                                           textStyleFont(TextStyle::Caption, true),
                                           QFontDatabase::systemFont(QFontDatabase::FixedFont)}
{
    m_fonts.details.setPointSizeF(m_fonts.link.pointSizeF());
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
        if (isFailedCard(index))
            height += failureTextHeight(index, innerWidth(option)) + kCardSpacing;
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

    if (isFailedCard(index)) {
        paintFailure(painter, option.rect, index);
        return;
    }
    const QRect button = copyButtonRect(option.rect, index);
    const QRect linkRect(inner.left(), button.top(), button.left() - kRowSpacing - inner.left(),
                         button.height());
    painter->setFont(m_fonts.link);
    painter->setPen(systemBlue());
    painter->drawText(linkRect, Qt::AlignLeft | Qt::AlignVCenter,
                      QFontMetrics(m_fonts.link)
                          .elidedText(index.data(LinksModel::LinkRole).toString(), Qt::ElideMiddle,
                                      linkRect.width()));
    painter->fillPath(roundedRect(button, kButtonRadius), systemBlue(0.1));
    const QPixmap icon =
        cachedImagePixmap(QStringLiteral("doc.on.doc"), {kCopyIconSize, kCopyIconSize},
                          painter->device()->devicePixelRatioF(), systemBlue());
    if (!icon.isNull()) {
        painter->drawPixmap(button.adjusted(kCopyButtonPadding, kCopyButtonPadding,
                                            -kCopyButtonPadding, -kCopyButtonPadding),
                            icon);
    }
}

// What happened and what to do, in full; under it the disclosure and "Reintentar"; under them,
// when open, rclone's own lines.
void LinkCardDelegate::paintFailure(QPainter *painter, const QRect &itemRect,
                                    const QModelIndex &index) const
{
    const QRect retry = copyButtonRect(itemRect, index);
    const QRect toggle = detailsToggleRect(itemRect, index);
    QTextLayout explanation;
    wrap(explanation, explanationText(index), m_fonts.link, retry.right() - toggle.left() + 1);
    painter->setPen(systemRed());
    const int top = contentRect(itemRect, index).top() + kDefaultPadding + m_fonts.fileNameHeight +
                    kCardSpacing;
    explanation.draw(painter, QPointF(toggle.left(), top));

    painter->fillPath(roundedRect(retry, kButtonRadius), systemBlue(0.1));
    painter->setFont(m_fonts.button);
    painter->setPen(systemBlue());
    painter->drawText(retry, Qt::AlignCenter, kReintentar);

    // A triangle pointing right while closed, down while open, as in a file manager's tree.
    const bool open = isExpanded(index);
    const qreal side = QFontMetrics(m_fonts.button).height() / 2;
    const QPointF centre(toggle.left() + side / 2, toggle.center().y() + 0.5);
    const QPolygonF triangle =
        open ? QPolygonF{{centre + QPointF(-side / 2, -side / 4),
                          centre + QPointF(side / 2, -side / 4), centre + QPointF(0, side / 2)}}
             : QPolygonF{{centre + QPointF(-side / 4, -side / 2), centre + QPointF(side / 2, 0),
                          centre + QPointF(-side / 4, side / 2)}};
    painter->setPen(Qt::NoPen);
    painter->setBrush(systemBlue());
    painter->drawPolygon(triangle);
    painter->setPen(systemBlue());
    painter->drawText(toggle, Qt::AlignRight | Qt::AlignVCenter, kDetalles);
    if (!open)
        return;
    QTextLayout details;
    wrap(details, index.data(LinksModel::DetailRole).toString(), m_fonts.details,
         retry.right() - toggle.left() + 1);
    painter->setPen(secondaryLabelColour());
    details.draw(painter, QPointF(toggle.left(), retry.bottom() + 1 + kCardSpacing));
}

int LinkCardDelegate::failureTextHeight(const QModelIndex &index, int width) const
{
    QTextLayout layout;
    int height = qCeil(wrap(layout, explanationText(index), m_fonts.link, width));
    if (isExpanded(index)) {
        height += kCardSpacing + qCeil(wrap(layout, index.data(LinksModel::DetailRole).toString(),
                                            m_fonts.details, width));
    }
    return height;
}

int LinkCardDelegate::innerWidth(const QStyleOptionViewItem &option)
{
    // The list lays cards out as wide as its viewport; sizeHint gets no rectangle of its own.
    const auto *view = qobject_cast<const QAbstractItemView *>(option.widget);
    const int width = view ? view->viewport()->width() : option.rect.width();
    return std::max(1, width - 4 * kDefaultPadding);
}

QRect LinkCardDelegate::copyButtonRect(const QRect &itemRect, const QModelIndex &index) const
{
    const QRect inner =
        contentRect(itemRect, index)
            .adjusted(kDefaultPadding, kDefaultPadding, -kDefaultPadding, -kDefaultPadding);
    int top = inner.top() + m_fonts.fileNameHeight + kCardSpacing;
    int width = kCopyButtonSize;
    if (isFailedCard(index)) {
        QTextLayout layout;
        top +=
            qCeil(wrap(layout, explanationText(index), m_fonts.link, inner.width())) + kCardSpacing;
        width =
            QFontMetrics(m_fonts.button).horizontalAdvance(kReintentar) + 2 * kCopyButtonPadding;
    }
    return {inner.right() + 1 - width, top, width, kCopyButtonSize};
}

QRect LinkCardDelegate::detailsToggleRect(const QRect &itemRect, const QModelIndex &index) const
{
    if (!isFailedCard(index))
        return {};
    const QRect button = copyButtonRect(itemRect, index);
    const QRect inner = contentRect(itemRect, index).adjusted(kDefaultPadding, 0, 0, 0);
    const int width = QFontMetrics(m_fonts.button).height() / 2 + kRowSpacing / 2 +
                      QFontMetrics(m_fonts.button).horizontalAdvance(kDetalles);
    return {inner.left(), button.top(), width, button.height()};
}

bool LinkCardDelegate::isFailedCard(const QModelIndex &index)
{
    return !index.data(LinksModel::FailureRole).toString().isEmpty();
}

bool LinkCardDelegate::editorEvent(QEvent *event, QAbstractItemModel *model,
                                   const QStyleOptionViewItem &option, const QModelIndex &index)
{
    if (event->type() == QEvent::MouseButtonRelease && !isHeader(index)) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const QPoint at = mouse->position().toPoint();
        if (mouse->button() == Qt::LeftButton && copyButtonRect(option.rect, index).contains(at)) {
            Q_EMIT copyRequested(index);
            return true;
        }
        if (mouse->button() == Qt::LeftButton &&
            detailsToggleRect(option.rect, index).contains(at)) {
            Q_EMIT detailsToggled(index);
            return true;
        }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}

} // namespace skyloft
