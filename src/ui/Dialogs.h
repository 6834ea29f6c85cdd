// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QMessageBox>
#include <QPixmap>
#include <QString>

#include <functional>

class QObject;
class QWidget;

namespace skyloft {

struct DialogButton
{
    enum class Role
    {
        Default,     // answers Return
        Destructive, // removes the user's data
        Cancel,      // answers Escape and closing the dialog
        Plain
    };
    QString text;
    Role role = Role::Plain;
};

struct DialogQuestion
{
    QString title; // the window's title; the platform shows the application's name when empty
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QPixmap iconPixmap; // replaces the standard icon when set
    QString text;
    QString informativeText;
    QList<DialogButton> buttons; // in the order the user reads them
    // An alert asks or warns; an information window ("Acerca de") only tells, and assistive
    // technology hears it as a dialog rather than an alert.
    bool alert = true;
};

// Every modal question of the application. The dialog is window-modal and never runs an event
// loop of its own: the answer arrives through a callback, so a test answers it by clicking the
// open box's buttons like a user would.
class Dialogs
{
public:
    // Shows `question` over `parent` and later calls `onAnswer` with the index of the chosen
    // button (the Cancel button when dismissed; -1 when there is none). Buttons keep the
    // question's texts, order and roles, and their text is their accessible name. The box
    // deletes itself once answered.
    static QMessageBox *ask(QWidget *parent, const DialogQuestion &question, QObject *context,
                            std::function<void(int)> onAnswer);
};

} // namespace skyloft
