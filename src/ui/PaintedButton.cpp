// SPDX-License-Identifier: MIT
#include "ui/PaintedButton.h"

#include <QKeyEvent>

namespace skyloft {

PaintedButton::PaintedButton(const QString &text, QWidget *parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setText(text);
}

void PaintedButton::setText(const QString &text)
{
    QAbstractButton::setText(text);
    setAccessibleName(text);
}

void PaintedButton::keyPressEvent(QKeyEvent *event)
{
    // QAbstractButton answers Space only; a plain push button also takes Return and Enter.
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        if (m_keyPress == KeyPress::Immediate)
            click();
        else
            animateClick();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void PaintedButton::focusInEvent(QFocusEvent *event)
{
    switch (event->reason()) {
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ShortcutFocusReason:
        m_focusFromKeyboard = true;
        break;
    case Qt::ActiveWindowFocusReason:
    case Qt::PopupFocusReason:
        break; // focus coming back keeps its ring, or its lack of one
    default:
        m_focusFromKeyboard = false;
    }
    QAbstractButton::focusInEvent(event);
}

} // namespace skyloft
