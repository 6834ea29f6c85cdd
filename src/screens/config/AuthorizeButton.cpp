// SPDX-License-Identifier: MIT
#include "screens/config/AuthorizeButton.h"

#include "ui/SystemStyle.h"

#include <QPainter>
#include <QPainterPath>

namespace skyloft {

namespace {

constexpr qreal kCornerRadius = 12;
constexpr qreal kShadowRadius = 4;
constexpr qreal kFocusRingInset = 3;

} // namespace

AuthorizeButton::AuthorizeButton(QWidget *parent) : PaintedButton(QString(), parent)
{
    setFont(systemFont(16, QFont::DemiBold));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QRect AuthorizeButton::barRect() const
{
    return rect().marginsRemoved({kShadowMargin, kShadowMargin, kShadowMargin, kShadowMargin});
}

QSize AuthorizeButton::sizeHint() const
{
    const QFontMetrics metrics(font());
    const int margin = kDefaultPadding + kShadowMargin;
    return {metrics.horizontalAdvance(text()) + 2 * margin, metrics.height() + 2 * margin};
}

QSize AuthorizeButton::minimumSizeHint() const
{
    return sizeHint();
}

void AuthorizeButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bar = barRect();
    paintShadow(painter, bar, kCornerRadius, kShadowRadius, QColor::fromRgbF(0, 0, 0, 0.33f));
    QPainterPath shape;
    shape.addRoundedRect(bar, kCornerRadius, kCornerRadius);
    const QColor fill = !isEnabled() ? systemGray(0.6)
                        : isDown()   ? bluePlateColour().darker(115)
                                     : bluePlateColour(0.9);
    painter.fillPath(shape, fill);
    if (showsFocusRing()) {
        QPainterPath ring;
        const qreal inset = kFocusRingInset;
        ring.addRoundedRect(bar.adjusted(inset, inset, -inset, -inset), kCornerRadius - inset,
                            kCornerRadius - inset);
        painter.strokePath(ring, QPen(QColor(255, 255, 255, 200), 2));
    }
    painter.setPen(onPlateColour());
    painter.drawText(bar, Qt::AlignCenter, text());
}

} // namespace skyloft
