// SPDX-License-Identifier: MIT
#include "ui/Announcer.h"

#include "ui/Accessibility.h"

namespace skyloft {

Announcer::Announcer(QWidget *parent) : QWidget(parent)
{
    registerAccessibleTraits(this, [](QWidget *) {
        return AccessibleTraits{QAccessible::AlertMessage, {}, {}, {}};
    });
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    resize(1, 1);
    hide();
}

void Announcer::announce(const QString &text)
{
    setAccessibleName(text);
    // Shown anew, so that a screen reader that reads alerts as they appear reads this one too.
    hide();
    show();
    announceAlert(this);
}

} // namespace skyloft
