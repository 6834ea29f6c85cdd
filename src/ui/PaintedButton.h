// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractButton>

namespace skyloft {

// A button that draws itself without the platform's chrome. It keeps what makes it a button for
// keyboard users: Tab reaches it, Space, Return and Enter press it, and its text is its name.
class PaintedButton : public QAbstractButton
{
    Q_OBJECT
public:
    explicit PaintedButton(const QString &text, QWidget *parent = nullptr);

    void setText(const QString &text);

protected:
    // How Return and Enter press the button: with the brief pressed look of a click, or at once
    // (for buttons whose owners act on the press before the next event).
    enum class KeyPress
    {
        Animated,
        Immediate
    };
    void setKeyPress(KeyPress keyPress) { m_keyPress = keyPress; }

    // Whether to draw the focus ring: only while the keyboard brought the focus here, as a click
    // needs no ring to show where it landed.
    bool showsFocusRing() const { return hasFocus() && m_focusFromKeyboard; }

    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;

private:
    bool m_focusFromKeyboard = false;
    KeyPress m_keyPress = KeyPress::Animated;
};

} // namespace skyloft
