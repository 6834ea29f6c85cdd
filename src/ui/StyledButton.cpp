// SPDX-License-Identifier: MIT
#include "ui/StyledButton.h"

#include "ui/Images.h"
#include "ui/SystemStyle.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace skyloft {

StyledButton::StyledButton(const QString &text, const QString &imageName, const Look &look,
                           QWidget *parent)
    : PaintedButton(text, parent), m_imageName(imageName), m_look(look)
{
    setFont(look.font);
    // As on the desktop the screens imitate, a click does not take the keyboard focus.
    setFocusPolicy(Qt::TabFocus);
    // Return and Enter act at once, without the brief pressed look.
    setKeyPress(KeyPress::Immediate);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void StyledButton::setBadge(bool shown)
{
    if (m_badge == shown)
        return;
    m_badge = shown;
    updateGeometry();
    update();
}

QSize StyledButton::plateSize() const
{
    const QFontMetrics metrics(m_look.font);
    int width = 0;
    int parts = 0;
    if (!m_imageName.isEmpty()) {
        width += m_look.imageSize;
        ++parts;
    }
    if (!text().isEmpty()) {
        width += metrics.horizontalAdvance(text());
        ++parts;
    }
    if (hasBadge()) {
        width += m_look.badgeSize;
        ++parts;
    }
    width += std::max(0, parts - 1) * m_look.spacing;
    int height = std::max(m_look.imageSize, hasBadge() ? m_look.badgeSize : 0);
    if (!text().isEmpty())
        height = std::max(height, metrics.height());
    return QSize(width, height).grownBy(m_look.padding);
}

QSize StyledButton::sizeHint() const
{
    const QSize plate = plateSize();
    return QSize(int(std::ceil(plate.width() * m_look.scale)),
                 int(std::ceil(plate.height() * m_look.scale)))
        .grownBy({kFocusMargin, kFocusMargin, kFocusMargin, kFocusMargin});
}

QPixmap StyledButton::image(const QString &name, int size, const QColor &tint) const
{
    return cachedImagePixmap(name, {size, size}, devicePixelRatioF(), tint);
}

void StyledButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // A button that cannot be used is drawn faded.
    if (!isEnabled())
        painter.setOpacity(0.4);
    const QSizeF plate = plateSize();
    painter.translate(QRectF(rect()).center());
    painter.scale(m_look.scale, m_look.scale);
    const QRectF plateRect(-plate.width() / 2, -plate.height() / 2, plate.width(), plate.height());

    QPainterPath shape;
    shape.addRoundedRect(plateRect, m_look.radius, m_look.radius);
    const QColor background = isChecked() && m_look.checkedBackground.isValid()
                                  ? m_look.checkedBackground
                                  : m_look.background;
    if (background.isValid() && background.alpha() > 0)
        painter.fillPath(shape, background);
    if (isDown())
        painter.fillPath(shape, QColor(0, 0, 0, 40));
    if (showsFocusRing()) {
        const qreal ring = kFocusMargin / 2.0 / m_look.scale;
        const QRectF ringRect = plateRect.adjusted(-ring, -ring, ring, ring);
        painter.setPen(QPen(systemBlue(0.7), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(ringRect, m_look.radius + ring, m_look.radius + ring);
    }

    const QRectF content = plateRect.marginsRemoved(m_look.padding.toMarginsF());
    qreal x = content.left();
    const auto drawImage = [&](const QString &name, int size, const QColor &tint) {
        const QRectF target(x, content.center().y() - size / 2.0, size, size);
        const QPixmap pixmap = image(name, size, tint);
        painter.drawPixmap(target, pixmap, QRectF(pixmap.rect()));
        x += size + m_look.spacing;
    };
    if (!m_imageName.isEmpty())
        drawImage(m_imageName, m_look.imageSize, m_look.imageTint);
    if (!text().isEmpty()) {
        const int advance = QFontMetrics(m_look.font).horizontalAdvance(text());
        painter.setPen(m_look.foreground);
        painter.setFont(m_look.font);
        painter.drawText(QRectF(x, content.top(), advance, content.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, text());
        x += advance + m_look.spacing;
    }
    if (hasBadge()) {
        paintCheckBadge(painter,
                        QRectF(x, content.center().y() - m_look.badgeSize / 2.0, m_look.badgeSize,
                               m_look.badgeSize),
                        checkBadgeOnPlate());
    }
}

} // namespace skyloft
