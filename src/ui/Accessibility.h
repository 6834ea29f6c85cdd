// SPDX-License-Identifier: MIT
#pragma once

#include <QAccessibleWidget>

#include <functional>

namespace skyloft {

// How one of our widgets presents itself to assistive technology where Qt's own interface says
// the wrong thing: its role, the states it adds, and a press action that does what a click or
// Return does (named as the user would say it).
struct AccessibleTraits
{
    QAccessible::Role role = QAccessible::Client;
    std::function<void(QAccessible::State &)> addState;
    QString pressName;
    std::function<void()> press;
};

class ControlAccessible : public QAccessibleWidget
{
public:
    ControlAccessible(QWidget *widget, AccessibleTraits traits);

    QAccessible::State state() const override;
    QStringList actionNames() const override;
    QString localizedActionName(const QString &actionName) const override;
    void doAction(const QString &actionName) override;

private:
    AccessibleTraits m_traits;
};

// Gives instances of `className` (the class's own name, with its namespace, as moc writes it)
// the interface `make` returns. Registering twice keeps the first maker.
using AccessibleMaker = std::function<QAccessibleInterface *(QWidget *widget)>;
void registerAccessible(const char *className, AccessibleMaker make);
// The same, for widgets whose interface differs from Qt's only by its traits.
void registerAccessibleTraits(const char *className,
                              std::function<AccessibleTraits(QWidget *widget)> traits);

// Tells assistive technology that `alert`, an object whose role is Alert, has something to say
// now (screen readers speak it at once).
void announceAlert(QObject *alert);

} // namespace skyloft
