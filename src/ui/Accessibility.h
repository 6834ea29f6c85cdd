// SPDX-License-Identifier: MIT
#pragma once

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>

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

// An item of a widget that has no object of its own (a tab, a row of a list): no children, no
// text to set, and its actions through this same interface. The widget's interface is its parent.
class AccessibleItem : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    explicit AccessibleItem(QWidget *owner) : m_owner(owner) {}

    QObject *object() const override { return nullptr; }
    QWindow *window() const override;
    QAccessibleInterface *parent() const override;
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString &) override {}
    void *interface_cast(QAccessible::InterfaceType type) override;
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

protected:
    QWidget *owner() const { return m_owner; }

private:
    QPointer<QWidget> m_owner;
};

// The items of one widget, made when first asked for, kept by index and deleted with the cache.
// An item that no longer stands for its index (`fits` says no) is replaced.
class AccessibleItems
{
public:
    AccessibleItems() = default;
    AccessibleItems(const AccessibleItems &) = delete;
    AccessibleItems &operator=(const AccessibleItems &) = delete;
    ~AccessibleItems();

    QAccessibleInterface *item(int index, const std::function<bool(QAccessibleInterface *)> &fits,
                               const std::function<QAccessibleInterface *()> &make);
    int indexOf(const QAccessibleInterface *item) const;

private:
    QHash<int, QAccessible::Id> m_ids;
};

// Gives instances of `widget`'s class (the most derived one) the interface `make` returns, also
// `widget` itself. Call it at the end of the class's constructor: while a base class was being
// built, Qt may already have made its own interface for the widget (setting a name does), and
// that one is forgotten here. Registering a class twice keeps the
// first maker.
using AccessibleMaker = std::function<QAccessibleInterface *(QWidget *widget)>;
void registerAccessible(QWidget *widget, AccessibleMaker make);
// The same, for widgets whose interface differs from Qt's only by its traits.
void registerAccessibleTraits(QWidget *widget,
                              std::function<AccessibleTraits(QWidget *widget)> traits);

// Tells assistive technology that `alert`, an object whose role is Alert, has something to say
// now (screen readers speak it at once).
void announceAlert(QObject *alert);

} // namespace skyloft
