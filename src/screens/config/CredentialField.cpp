// SPDX-License-Identifier: MIT
#include "screens/config/CredentialField.h"

#include "ui/SystemStyle.h"

#include <QPainter>
#include <QPainterPath>

namespace skyloft {

namespace {

constexpr qreal kCornerRadius = 8;
// QLineEdit keeps 2 of its own between the margin and the text: the text starts at 20.
constexpr int kTextInset = kDefaultPadding + 2;

} // namespace

CredentialField::CredentialField(const QString &placeholder, Kind kind, QWidget *parent)
    : QLineEdit(parent)
{
    setPlaceholderText(placeholder);
    setAccessibleName(placeholder);
    setEchoMode(kind == Secret ? QLineEdit::Password : QLineEdit::Normal);
    setFrame(false);
    setTextMargins(kTextInset, kDefaultPadding, kTextInset, kDefaultPadding);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::transparent);
    colours.setColor(QPalette::Text, labelColour());
    colours.setColor(QPalette::PlaceholderText, darkGray());
    setPalette(colours);
}

void CredentialField::paintEvent(QPaintEvent *event)
{
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        // The outline turns blue and thicker while the field has the keyboard.
        const QPen outline = hasFocus() ? QPen(systemBlue(), 2) : QPen(systemGray(), 1);
        const qreal inset = outline.widthF() / 2;
        QPainterPath shape;
        shape.addRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), kCornerRadius,
                             kCornerRadius);
        painter.fillPath(shape, systemGray(0.1));
        painter.strokePath(shape, outline);
    }
    QLineEdit::paintEvent(event);
}

} // namespace skyloft
