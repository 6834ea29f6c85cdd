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

// What the user meets in the box, to compare in one go: its text, its informative text, then its
// buttons from left to right, "*" after the default one, and "/name" after any whose accessible
// name is not its text.
inline QStringList seenInDialog(QMessageBox *box)
{
    QStringList seen{box->text(), box->informativeText()};
    for (QAbstractButton *button : buttonsInReadingOrder(box)) {
        const QString name = button->accessibleName();
        seen << button->text() + (name == button->text() ? QString() : u'/' + name) +
                    (button == static_cast<QAbstractButton *>(box->defaultButton()) ? "*" : "");
    }
    return seen;
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

// Answers the box open over `owner` with a click on `text` and waits until it has gone.
inline bool answerDialog(QWidget *owner, const QString &text)
{
    QMessageBox *box = openDialog(owner);
    return box && clickDialogButton(box, text) &&
           QTest::qWaitFor([&] { return !openDialog(owner); });
}

} // namespace skyloft::test
