// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>

class QLabel;
class QPainter;
class QWidget;

namespace skyloft {

// The text styles the screens are drawn with, scaled from the application's body font the way
// the classic desktop type ramp scales from its 13-point body text.
enum class TextStyle
{
    LargeTitle,
    Title2,
    Title3,
    Headline, // body size, always bold
    Body,
    Subheadline,
    Footnote,
    Caption,
    Caption2
};

QFont textStyleFont(TextStyle style, bool bold = false);
// A system font of `points` on the same scale as the text styles (13 points is the body text).
QFont systemFont(qreal points, QFont::Weight weight = QFont::Normal);

// The named system colours the screens use (light appearance).
QColor systemBlue(qreal alpha = 1.0);
QColor systemGray(qreal alpha = 1.0);
QColor systemRed(qreal alpha = 1.0);
QColor systemGreen(qreal alpha = 1.0);
// A grey whose level is given in linear light, as displayed in sRGB.
QColor linearGrey(qreal level, qreal alpha = 1.0);
// Headers and file names: grey 0.1 in linear light.
QColor nearBlack();
// The classic dark grey of placeholders: white level 1/3.
QColor darkGray();

// A soft shadow under a rounded rectangle, no offset: `color` blurred over `blurRadius` on each
// side of the outline. Paint it before the shape that casts it.
void paintShadow(QPainter &painter, const QRectF &rect, qreal cornerRadius, qreal blurRadius,
                 const QColor &color);

// Text drawn in `colour` (the palette's window text).
void setTextColour(QWidget *widget, const QColor &colour);
QLabel *textLabel(const QString &text, const QFont &font, const QColor &colour,
                  QWidget *parent = nullptr);

// The default padding around stacks and cards.
inline constexpr int kDefaultPadding = 16;
// The default spacing between the items of a stack.
inline constexpr int kDefaultSpacing = 8;

} // namespace skyloft
