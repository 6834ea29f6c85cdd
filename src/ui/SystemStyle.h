// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QPalette>
#include <QRectF>

class QApplication;
class QLabel;
class QPainter;
class QWidget;

namespace skyloft {

// Every colour below follows one appearance, light or dark, read from the application's palette;
// applyAppearance() makes that palette complete, so Qt's own widgets follow it too.
enum class Appearance
{
    Light,
    Dark
};

// The appearance the desktop asks for: SKYLOFT_APPEARANCE ("light" or "dark") when set, else
// the lightness of the palette the platform theme gave the application.
Appearance desktopAppearance();
QPalette appearancePalette(Appearance appearance);
// Sets the application's palette for the desktop's appearance. Call once, before any widget.
void applyAppearance(QApplication &app);
// The appearance of the application's palette now.
Appearance currentAppearance();

// The text styles the screens are drawn with, scaled from the application's body font the way
// the classic desktop type ramp scales from its 13-point body text. The body is raised when
// needed so that the smallest style is kMinimumTextPoints.
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

// 11 pixels on a 96-dpi screen: no text is smaller.
inline constexpr qreal kMinimumTextPoints = 8.25;

// The named system colours, in their increased-contrast variants so that text in them reads on
// the page: blue, red and grey text, outlines and tints.
QColor systemBlue(qreal alpha = 1.0);
QColor systemGray(qreal alpha = 1.0);
QColor systemRed(qreal alpha = 1.0);
QColor systemGreen(qreal alpha = 1.0);
// A grey whose level is given in linear light, as displayed in sRGB.
QColor linearGrey(qreal level, qreal alpha = 1.0);
// Headers and file names: grey 0.1 in linear light (0.8 when dark).
QColor nearBlack();
// Placeholders: white level 1/3 (2/3 when dark).
QColor darkGray();

// The screens' page, their text, grey text, and the plates of cards and tiles.
QColor pageColour();
QColor labelColour();
QColor secondaryLabelColour();
QColor cardColour(qreal alpha = 1.0);
// Plates that carry white text (onPlateColour): blue, grey and red, dark enough in both
// appearances; the toast's plate.
QColor onPlateColour();
QColor bluePlateColour(qreal alpha = 1.0);
QColor greyPlateColour();
QColor redPlateColour();
QColor toastPlateColour();

// The authorized mark: a check on a disc, coloured to stand out from what is around it, on the
// page and its tiles (green disc) and on the dark plates of the pills (white disc).
struct CheckBadgeColours
{
    QColor disc;
    QColor check;
};
CheckBadgeColours checkBadgeOnPage();
CheckBadgeColours checkBadgeOnPlate();
void paintCheckBadge(QPainter &painter, const QRectF &rect, const CheckBadgeColours &colours);

// A one-colour image tinted, at 1x and 2x: tab icons in the palette's text colour.
QIcon tintedIcon(const QString &imageName, const QColor &tint, int size = 16);

// A soft shadow under a rounded rectangle, no offset: `color` blurred over `blurRadius` on each
// side of the outline. Paint it before the shape that casts it.
void paintShadow(QPainter &painter, const QRectF &rect, qreal cornerRadius, qreal blurRadius,
                 const QColor &color);

// Text drawn in `colour` (the palette's window text).
void setTextColour(QWidget *widget, const QColor &colour);
// A widget that fills its background with the page colour, under its children too.
void fillWithPage(QWidget *widget);
QLabel *textLabel(const QString &text, const QFont &font, const QColor &colour,
                  QWidget *parent = nullptr);

// The default padding around stacks and cards.
inline constexpr int kDefaultPadding = 16;
// The default spacing between the items of a stack.
inline constexpr int kDefaultSpacing = 8;

} // namespace skyloft
