// SPDX-License-Identifier: MIT
#include "screens/SystemStyle.h"

#include <QApplication>

#include <cmath>

namespace skyloft {

namespace {

qreal pointsOnTheRamp(TextStyle style)
{
    switch (style) {
    case TextStyle::Title2:
        return 17;
    case TextStyle::Title3:
        return 15;
    case TextStyle::Subheadline:
        return 11;
    case TextStyle::Caption:
        return 10;
    case TextStyle::Body:
        break;
    }
    return 13;
}

qreal linearToSrgb(qreal linear)
{
    return linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1.0 / 2.4) - 0.055;
}

} // namespace

QFont textStyleFont(TextStyle style, bool bold)
{
    QFont font = QApplication::font();
    font.setPointSizeF(font.pointSizeF() * pointsOnTheRamp(style) /
                       pointsOnTheRamp(TextStyle::Body));
    font.setBold(bold);
    return font;
}

QColor systemBlue(qreal alpha)
{
    QColor color(0, 122, 255);
    color.setAlphaF(float(alpha));
    return color;
}

QColor systemGray(qreal alpha)
{
    QColor color(142, 142, 147);
    color.setAlphaF(float(alpha));
    return color;
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

} // namespace skyloft
