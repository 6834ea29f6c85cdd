// SPDX-License-Identifier: MIT
#include "ui/TabBar.h"

#include "ui/Accessibility.h"

namespace skyloft {

namespace {

class TabAccessible : public AccessibleItem
{
public:
    TabAccessible(TabBar *bar, int index) : AccessibleItem(bar), m_index(index) {}

    bool isValid() const override { return bar() && m_index < bar()->count(); }
    QAccessible::Role role() const override { return QAccessible::PageTab; }

    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return {};
        if (t == QAccessible::Name)
            return QString(bar()->tabText(m_index)).remove(QLatin1Char('&'));
        if (t == QAccessible::Description)
            return bar()->tabToolTip(m_index);
        return {};
    }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        const bool open = bar()->currentIndex() == m_index;
        state.focusable = true;
        state.selectable = true;
        state.selected = open;
        state.focused = open && bar()->hasFocus();
        state.disabled = !bar()->isTabEnabled(m_index);
        state.invisible = !bar()->isVisible() || !bar()->isTabVisible(m_index);
        return state;
    }

    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect tab = bar()->tabRect(m_index);
        return {bar()->mapToGlobal(tab.topLeft()), tab.size()};
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &name) override
    {
        if (isValid() && name == pressAction() && bar()->isTabEnabled(m_index))
            bar()->setCurrentIndex(m_index);
    }

private:
    TabBar *bar() const { return static_cast<TabBar *>(owner()); }

    int m_index;
};

class TabBarAccessible : public QAccessibleWidget
{
public:
    explicit TabBarAccessible(TabBar *bar) : QAccessibleWidget(bar, QAccessible::PageTabList) {}

    int childCount() const override { return bar()->count(); }
    QAccessibleInterface *child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        return m_tabs.item(
            index, [](QAccessibleInterface *) { return true; },
            [this, index] { return new TabAccessible(bar(), index); });
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return m_tabs.indexOf(child);
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        return child(bar()->tabAt(bar()->mapFromGlobal(QPoint(x, y))));
    }
    QAccessibleInterface *focusChild() const override
    {
        return bar()->hasFocus() ? child(bar()->currentIndex()) : nullptr;
    }

private:
    TabBar *bar() const { return static_cast<TabBar *>(widget()); }

    mutable AccessibleItems m_tabs;
};

} // namespace

TabBar::TabBar(QWidget *parent) : QTabBar(parent)
{
    setAccessibleName(QStringLiteral("Secciones"));
    registerAccessible(this, [](QWidget *widget) -> QAccessibleInterface * {
        auto *bar = qobject_cast<TabBar *>(widget);
        return bar ? new TabBarAccessible(bar) : nullptr;
    });
}

} // namespace skyloft
