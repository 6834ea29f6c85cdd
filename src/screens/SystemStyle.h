// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QFont>

namespace skyloft {

// The text styles the screens are drawn with, scaled from the application's body font the way
// the classic desktop type ramp scales from its 13-point body text.
enum class TextStyle
{
    Title2,
    Title3,
    Body,
    Subheadline,
    Caption
};

QFont textStyleFont(TextStyle style, bool bold = false);

// The named system colours the screens use (light appearance).
QColor systemBlue(qreal alpha = 1.0);
QColor systemGray(qreal alpha = 1.0);
// A grey whose level is given in linear light, as displayed in sRGB.
QColor linearGrey(qreal level, qreal alpha = 1.0);
// Headers and file names: grey 0.1 in linear light.
QColor nearBlack();

// The default padding around stacks and cards.
inline constexpr int kDefaultPadding = 16;

} // namespace skyloft
