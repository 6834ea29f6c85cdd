// SPDX-License-Identifier: MIT
#include "ui/SystemStyle.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QtMath>

#include <cmath>

namespace skyloft {

namespace {

qreal pointsOnTheRamp(TextStyle style)
{
    switch (style) {
    case TextStyle::LargeTitle:
        return 26;
    case TextStyle::Title2:
        return 17;
    case TextStyle::Title3:
        return 15;
    case TextStyle::Subheadline:
        return 11;
    case TextStyle::Footnote:
    case TextStyle::Caption:
    case TextStyle::Caption2:
        return 10;
    case TextStyle::Headline:
    case TextStyle::Body:
        break;
    }
    return 13;
}

QColor withAlpha(QColor color, qreal alpha)
{
    color.setAlphaF(float(alpha));
    return color;
}

qreal linearToSrgb(qreal linear)
{
    return linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1.0 / 2.4) - 0.055;
}

} // namespace

QFont textStyleFont(TextStyle style, bool bold)
{
    return systemFont(pointsOnTheRamp(style),
                      bold || style == TextStyle::Headline ? QFont::Bold : QFont::Normal);
}

QFont systemFont(qreal points, QFont::Weight weight)
{
    QFont font = QApplication::font();
    font.setPointSizeF(font.pointSizeF() * points / pointsOnTheRamp(TextStyle::Body));
    font.setWeight(weight);
    return font;
}

QColor systemBlue(qreal alpha)
{
    return withAlpha(QColor(0, 122, 255), alpha);
}

QColor systemGray(qreal alpha)
{
    return withAlpha(QColor(142, 142, 147), alpha);
}

QColor systemRed(qreal alpha)
{
    return withAlpha(QColor(255, 59, 48), alpha);
}

QColor systemGreen(qreal alpha)
{
    return withAlpha(QColor(52, 199, 89), alpha);
}

QColor linearGrey(qreal level, qreal alpha)
{
    const auto srgb = float(linearToSrgb(level));
    return QColor::fromRgbF(srgb, srgb, srgb, float(alpha));
}

QColor nearBlack()
{
    return linearGrey(0.1);
}

QColor darkGray()
{
    return QColor::fromRgbF(1.0f / 3, 1.0f / 3, 1.0f / 3);
}

void paintShadow(QPainter &painter, const QRectF &rect, qreal cornerRadius, qreal blurRadius,
                 const QColor &color)
{
    // Outlines from blurRadius outside the shape to blurRadius inside it, each adding an equal
    // share of the colour, make the soft ramp of a blurred edge.
    const int steps = qMax(2, qCeil(blurRadius * 2));
    QColor layer = color;
    layer.setAlphaF(float(1.0 - std::pow(1.0 - color.alphaF(), 1.0 / steps)));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(layer);
    for (int i = 0; i < steps; ++i) {
        const qreal grow = blurRadius - (i + 0.5) * 2 * blurRadius / steps;
        const qreal radius = qMax<qreal>(0, cornerRadius + grow);
        painter.drawRoundedRect(rect.adjusted(-grow, -grow, grow, grow), radius, radius);
    }
    painter.restore();
}

void setTextColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

QLabel *textLabel(const QString &text, const QFont &font, const QColor &colour, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setFont(font);
    setTextColour(label, colour);
    return label;
}

} // namespace skyloft
