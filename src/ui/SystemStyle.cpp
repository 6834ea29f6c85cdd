// SPDX-License-Identifier: MIT
#include "ui/SystemStyle.h"

#include "ui/Images.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QtMath>

#include <algorithm>
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

QColor adaptive(QRgb light, QRgb dark, qreal alpha = 1.0)
{
    return withAlpha(QColor(currentAppearance() == Appearance::Dark ? dark : light), alpha);
}

qreal pointsOf(const QFont &font)
{
    // A font given in pixels has no point size; 96 dpi is the reference screen.
    return font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 72.0 / 96.0;
}

QPalette darkPalette()
{
    struct Role
    {
        QPalette::ColorRole role;
        QRgb colour;
        QRgb disabled; // 0: as enabled
    };
    static constexpr Role kRoles[] = {
        {QPalette::Window, 0x2c2c2e, 0},        {QPalette::WindowText, 0xffffff, 0x8e8e93},
        {QPalette::Base, 0x1c1c1e, 0},          {QPalette::AlternateBase, 0x2c2c2e, 0},
        {QPalette::Text, 0xffffff, 0x8e8e93},   {QPalette::PlaceholderText, 0xa9a9a9, 0},
        {QPalette::Button, 0x3a3a3c, 0x2c2c2e}, {QPalette::ButtonText, 0xffffff, 0x8e8e93},
        {QPalette::BrightText, 0xff6961, 0},    {QPalette::Light, 0x545458, 0},
        {QPalette::Midlight, 0x48484a, 0},      {QPalette::Mid, 0x3a3a3c, 0},
        {QPalette::Dark, 0x1c1c1e, 0},          {QPalette::Shadow, 0x000000, 0},
        {QPalette::Highlight, 0x0050d0, 0},     {QPalette::HighlightedText, 0xffffff, 0},
        {QPalette::Link, 0x409cff, 0},          {QPalette::LinkVisited, 0xbf8cff, 0},
        {QPalette::ToolTipBase, 0x3a3a3c, 0},   {QPalette::ToolTipText, 0xffffff, 0},
    };
    QPalette palette;
    for (const Role &role : kRoles) {
        palette.setColor(role.role, QColor(role.colour));
        if (role.disabled)
            palette.setColor(QPalette::Disabled, role.role, QColor(role.disabled));
    }
    return palette;
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
    const qreal bodyPoints = pointsOnTheRamp(TextStyle::Body);
    const qreal smallest = pointsOnTheRamp(TextStyle::Caption2);
    const qreal body = std::max(pointsOf(font), kMinimumTextPoints * bodyPoints / smallest);
    font.setPointSizeF(body * points / bodyPoints);
    font.setWeight(weight);
    return font;
}

Appearance desktopAppearance()
{
    const QByteArray forced = qgetenv("SKYLOFT_APPEARANCE");
    if (forced == "dark")
        return Appearance::Dark;
    if (forced == "light")
        return Appearance::Light;
    return currentAppearance();
}

QPalette appearancePalette(Appearance appearance)
{
    if (appearance == Appearance::Dark)
        return darkPalette();
    QPalette palette = QApplication::style()->standardPalette();
    palette.setColor(QPalette::Highlight, QColor(0x0050d0));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Link, QColor(0x0050d0));
    palette.setColor(QPalette::PlaceholderText, QColor(0x555555));
    return palette;
}

void applyAppearance(QApplication &app)
{
    app.setPalette(appearancePalette(desktopAppearance()));
}

Appearance currentAppearance()
{
    return QApplication::palette().color(QPalette::Window).lightnessF() < 0.5 ? Appearance::Dark
                                                                              : Appearance::Light;
}

QColor systemBlue(qreal alpha)
{
    return adaptive(0x0050d0, 0x409cff, alpha);
}

QColor systemGray(qreal alpha)
{
    return adaptive(0x8e8e93, 0x8e8e93, alpha);
}

QColor systemRed(qreal alpha)
{
    return adaptive(0xc00012, 0xff6961, alpha);
}

QColor systemGreen(qreal alpha)
{
    return adaptive(0x248a3d, 0x30d158, alpha);
}

QColor pageColour()
{
    return adaptive(0xffffff, 0x1c1c1e);
}

QColor labelColour()
{
    return adaptive(0x000000, 0xffffff);
}

QColor secondaryLabelColour()
{
    return adaptive(0x6c6c70, 0x98989d);
}

QColor cardColour(qreal alpha)
{
    return adaptive(0xffffff, 0x2c2c2e, alpha);
}

QColor onPlateColour()
{
    return Qt::white;
}

QColor bluePlateColour(qreal alpha)
{
    return withAlpha(QColor(0x0050d0), alpha);
}

QColor greyPlateColour()
{
    return QColor(0x636366);
}

QColor redPlateColour()
{
    return QColor(0xc00012);
}

QColor toastPlateColour()
{
    return currentAppearance() == Appearance::Dark ? QColor(0x48, 0x48, 0x4a, 242)
                                                   : QColor::fromRgbF(0, 0, 0, 0.8f);
}

CheckBadgeColours checkBadgeOnPage()
{
    return {systemGreen(), currentAppearance() == Appearance::Dark ? pageColour() : Qt::white};
}

CheckBadgeColours checkBadgeOnPlate()
{
    return {onPlateColour(), QColor(0x248a3d)};
}

void paintCheckBadge(QPainter &painter, const QRectF &rect, const CheckBadgeColours &colours)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colours.disc);
    painter.drawEllipse(rect.adjusted(1, 1, -1, -1));
    // The check of the 24-unit symbol, scaled to the rectangle.
    const qreal unit = rect.width() / 24;
    QPainterPath check(rect.topLeft() + QPointF(7.5, 12.3) * unit);
    check.lineTo(rect.topLeft() + QPointF(10.5, 15.3) * unit);
    check.lineTo(rect.topLeft() + QPointF(16.5, 9) * unit);
    painter.strokePath(check,
                       QPen(colours.check, 2.4 * unit, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.restore();
}

QIcon tintedIcon(const QString &imageName, const QColor &tint, int size)
{
    QIcon icon;
    for (const qreal ratio : {1.0, 2.0})
        icon.addPixmap(cachedImagePixmap(imageName, {size, size}, ratio, tint));
    return icon;
}

QColor linearGrey(qreal level, qreal alpha)
{
    const auto srgb = float(linearToSrgb(level));
    return QColor::fromRgbF(srgb, srgb, srgb, float(alpha));
}

QColor nearBlack()
{
    return linearGrey(currentAppearance() == Appearance::Dark ? 0.8 : 0.1);
}

QColor darkGray()
{
    const float level = currentAppearance() == Appearance::Dark ? 2.0f / 3 : 1.0f / 3;
    return QColor::fromRgbF(level, level, level);
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

void fillWithPage(QWidget *widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, pageColour());
    palette.setColor(QPalette::Base, pageColour());
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QLabel *textLabel(const QString &text, const QFont &font, const QColor &colour, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setFont(font);
    setTextColour(label, colour);
    return label;
}

} // namespace skyloft
