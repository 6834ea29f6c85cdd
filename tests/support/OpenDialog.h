// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QWidget>

namespace skyloft::test {

// The question box open over `owner`, if any (Dialogs shows it without a modal loop of its own).
inline QMessageBox *openDialog(QWidget *owner)
{
    for (QMessageBox *box : owner->findChildren<QMessageBox *>()) {
        if (box->isVisible())
            return box;
    }
    return nullptr;
}

// The box's buttons from left to right, as the user reads them.
inline QList<QAbstractButton *> buttonsInReadingOrder(QMessageBox *box)
{
    QList<QAbstractButton *> buttons = box->buttons();
    std::sort(buttons.begin(), buttons.end(), [](QAbstractButton *a, QAbstractButton *b) {
        return a->mapToGlobal(QPoint()).x() < b->mapToGlobal(QPoint()).x();
    });
    return buttons;
}

inline QStringList buttonTextsInReadingOrder(QMessageBox *box)
{
    QStringList texts;
    for (QAbstractButton *button : buttonsInReadingOrder(box))
        texts << button->text();
    return texts;
}

inline QAbstractButton *dialogButton(QMessageBox *box, const QString &text)
{
    for (QAbstractButton *button : box->buttons()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

// Answers the box the way a user does: a click on the button with that text.
inline bool clickDialogButton(QMessageBox *box, const QString &text)
{
    QAbstractButton *button = dialogButton(box, text);
    if (!button)
        return false;
    QTest::mouseClick(button, Qt::LeftButton);
    return true;
}

} // namespace skyloft::test
