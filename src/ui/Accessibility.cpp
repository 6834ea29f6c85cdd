// SPDX-License-Identifier: MIT
#include "ui/Accessibility.h"

#include <QHash>
#include <QWidget>

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

void registerAccessible(const char *className, AccessibleMaker make)
{
    static const bool installed = [] {
        QAccessible::installFactory(&makeInterface);
        return true;
    }();
    Q_UNUSED(installed);
    if (!makers().contains(QString::fromLatin1(className)))
        makers().insert(QString::fromLatin1(className), std::move(make));
}

void registerAccessibleTraits(const char *className,
                              std::function<AccessibleTraits(QWidget *widget)> traits)
{
    registerAccessible(className, [traits = std::move(traits)](QWidget *widget) {
        return new ControlAccessible(widget, traits(widget));
    });
}

void announceAlert(QObject *alert)
{
    QAccessibleEvent event(alert, QAccessible::Alert);
    QAccessible::updateAccessibility(&event);
}

} // namespace skyloft
