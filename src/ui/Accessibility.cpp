// SPDX-License-Identifier: MIT
#include "ui/Accessibility.h"

#include <QWidget>
#include <QWindow>

namespace skyloft {

namespace {

QHash<QString, AccessibleMaker> &makers()
{
    static QHash<QString, AccessibleMaker> table;
    return table;
}

QAccessibleInterface *makeInterface(const QString &className, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    const auto it = makers().constFind(className);
    return widget && it != makers().cend() ? (*it)(widget) : nullptr;
}

} // namespace

ControlAccessible::ControlAccessible(QWidget *widget, AccessibleTraits traits)
    : QAccessibleWidget(widget, traits.role), m_traits(std::move(traits))
{}

QAccessible::State ControlAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    if (m_traits.addState)
        m_traits.addState(state);
    return state;
}

QStringList ControlAccessible::actionNames() const
{
    QStringList names = QAccessibleWidget::actionNames();
    if (m_traits.press && widget()->isEnabled())
        names.prepend(pressAction());
    return names;
}

QString ControlAccessible::localizedActionName(const QString &actionName) const
{
    if (actionName == pressAction() && !m_traits.pressName.isEmpty())
        return m_traits.pressName;
    return QAccessibleWidget::localizedActionName(actionName);
}

void ControlAccessible::doAction(const QString &actionName)
{
    if (actionName == pressAction() && m_traits.press && widget()->isEnabled()) {
        m_traits.press();
        return;
    }
    QAccessibleWidget::doAction(actionName);
}

QWindow *AccessibleItem::window() const
{
    return m_owner ? m_owner->window()->windowHandle() : nullptr;
}

QAccessibleInterface *AccessibleItem::parent() const
{
    return QAccessible::queryAccessibleInterface(m_owner.data());
}

void *AccessibleItem::interface_cast(QAccessible::InterfaceType type)
{
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this)
                                                : nullptr;
}

AccessibleItems::~AccessibleItems()
{
    for (const QAccessible::Id id : std::as_const(m_ids))
        QAccessible::deleteAccessibleInterface(id);
}

QAccessibleInterface *AccessibleItems::item(int index,
                                            const std::function<bool(QAccessibleInterface *)> &fits,
                                            const std::function<QAccessibleInterface *()> &make)
{
    if (const auto it = m_ids.constFind(index); it != m_ids.cend()) {
        QAccessibleInterface *known = QAccessible::accessibleInterface(*it);
        if (known && known->isValid() && fits(known))
            return known;
        QAccessible::deleteAccessibleInterface(*it);
    }
    QAccessibleInterface *made = make();
    m_ids.insert(index, QAccessible::registerAccessibleInterface(made));
    return made;
}

int AccessibleItems::indexOf(const QAccessibleInterface *item) const
{
    for (auto it = m_ids.cbegin(); it != m_ids.cend(); ++it) {
        if (QAccessible::accessibleInterface(it.value()) == item)
            return it.key();
    }
    return -1;
}

void registerAccessible(QWidget *widget, AccessibleMaker make)
{
    static const bool installed = [] {
        QAccessible::installFactory(&makeInterface);
        return true;
    }();
    Q_UNUSED(installed);
    const QString className = QString::fromLatin1(widget->metaObject()->className());
    if (!makers().contains(className))
        makers().insert(className, std::move(make));
    // Qt resolves an object's interface for every accessibility event, listened to or not.
    if (QAccessibleInterface *early = QAccessible::queryAccessibleInterface(widget))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(early));
}

void registerAccessibleTraits(QWidget *widget,
                              std::function<AccessibleTraits(QWidget *widget)> traits)
{
    registerAccessible(widget, [traits = std::move(traits)](QWidget *each) {
        return new ControlAccessible(each, traits(each));
    });
}

void announceAlert(QObject *alert)
{
    QAccessibleEvent event(alert, QAccessible::Alert);
    QAccessible::updateAccessibility(&event);
}

} // namespace skyloft
