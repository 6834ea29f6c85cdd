// SPDX-License-Identifier: MIT
#include "ui/Dialogs.h"

#include "ui/Accessibility.h"

#include <QLabel>
#include <QPushButton>

namespace skyloft {

namespace {

constexpr int kInformativeTextWidth = 320;

// A message box that is no alert: the same box, with the role of a dialog.
class InformationBox : public QMessageBox
{
    Q_OBJECT
public:
    explicit InformationBox(QWidget *parent) : QMessageBox(parent)
    {
        registerAccessibleTraits(this, [](QWidget *) {
            return AccessibleTraits{QAccessible::Dialog, {}, {}, {}};
        });
    }
};

QMessageBox::ButtonRole messageBoxRole(DialogButton::Role role)
{
    switch (role) {
    case DialogButton::Role::Destructive:
        return QMessageBox::DestructiveRole;
    case DialogButton::Role::Cancel:
        return QMessageBox::RejectRole;
    case DialogButton::Role::Default:
    case DialogButton::Role::Plain:
        break;
    }
    return QMessageBox::AcceptRole;
}

// The box and its buttons in the question's order (the box itself lists them by role).
QMessageBox *buildBox(QWidget *parent, const DialogQuestion &question,
                      QList<QAbstractButton *> &buttons)
{
    auto *box = question.alert ? new QMessageBox(parent) : new InformationBox(parent);
    box->setWindowTitle(question.title);
    box->setIcon(question.icon);
    if (!question.iconPixmap.isNull())
        box->setIconPixmap(question.iconPixmap);
    box->setText(question.text);
    box->setInformativeText(question.informativeText);
    // The question stands out from its explanation, as in the desktop's alerts.
    if (auto *message = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"))) {
        QFont bold = message->font();
        bold.setBold(true);
        message->setFont(bold);
    }
    // Qt wraps an informative text into a narrow column; give it the width of a sentence.
    if (auto *informative = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel")))
        informative->setMinimumWidth(kInformativeTextWidth);
    box->setAccessibleName(question.text);
    box->setAccessibleDescription(question.informativeText);
    QPushButton *defaultButton = nullptr;
    QPushButton *cancelButton = nullptr;
    for (const DialogButton &entry : question.buttons) {
        QPushButton *button = box->addButton(entry.text, messageBoxRole(entry.role));
        button->setAccessibleName(entry.text);
        buttons.append(button);
        if (entry.role == DialogButton::Role::Default && !defaultButton)
            defaultButton = button;
        if (entry.role == DialogButton::Role::Cancel && !cancelButton)
            cancelButton = button;
    }
    if (cancelButton)
        box->setEscapeButton(cancelButton);
    // Without a declared default, Return must not reach a destructive button: it cancels.
    if (QPushButton *target = defaultButton ? defaultButton : cancelButton)
        box->setDefaultButton(target);
    return box;
}

} // namespace

QMessageBox *Dialogs::ask(QWidget *parent, const DialogQuestion &question, QObject *context,
                          std::function<void(int)> onAnswer)
{
    QList<QAbstractButton *> buttons;
    QMessageBox *box = buildBox(parent, question, buttons);
    QObject::connect(box, &QDialog::finished, context,
                     [box, buttons, onAnswer = std::move(onAnswer)] {
                         box->deleteLater();
                         onAnswer(int(buttons.indexOf(box->clickedButton())));
                     });
    box->open();
    return box;
}

} // namespace skyloft

#include "Dialogs.moc"
