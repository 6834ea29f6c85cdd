// SPDX-License-Identifier: MIT
#include "screens/links/LinksListAccessible.h"

#include "screens/links/LinkCardDelegate.h"
#include "screens/links/LinksListView.h"
#include "screens/links/LinksModel.h"
#include "ui/Accessibility.h"

#include <QPersistentModelIndex>

namespace skyloft {

namespace {

const QString kExpand = QStringLiteral("expand");
const QString kCollapse = QStringLiteral("collapse");

// One row of the list: it reads the model at every question, so it is never out of date; once
// its row is gone it is no longer valid and the list makes another.
class LinkRowAccessible : public AccessibleItem
{
public:
    LinkRowAccessible(LinksListView *view, const QModelIndex &index)
        : AccessibleItem(view), m_index(index)
    {}

    int row() const { return m_index.row(); }
    bool isValid() const override { return view() && m_index.isValid(); }

    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return {};
        if (t == QAccessible::Name)
            return m_index.data(Qt::AccessibleTextRole).toString();
        if (t != QAccessible::Description || !isCard())
            return {};
        const QString description = m_index.data(Qt::AccessibleDescriptionRole).toString();
        if (!isExpanded())
            return description;
        return description + QStringLiteral("\nDetalles: ") +
               m_index.data(LinksModel::DetailRole).toString();
    }

    QAccessible::Role role() const override
    {
        return isCard() ? QAccessible::ListItem : QAccessible::Heading;
    }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        const QRect shown = view()->visualRect(m_index);
        state.offscreen = !view()->isVisible() || !view()->viewport()->rect().intersects(shown);
        if (isCard()) {
            state.focusable = true;
            state.focused = view()->hasFocus() && view()->currentIndex() == m_index;
            state.active = view()->currentIndex() == m_index;
        }
        if (isFailed()) {
            state.expandable = true;
            state.expanded = isExpanded();
        }
        return state;
    }

    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect shown = view()->visualRect(m_index);
        return {view()->viewport()->mapToGlobal(shown.topLeft()), shown.size()};
    }

    QStringList actionNames() const override
    {
        if (!isValid() || !isCard())
            return {};
        QStringList names{pressAction(), setFocusAction()};
        if (isFailed())
            names << (isExpanded() ? kCollapse : kExpand);
        return names;
    }

    QString localizedActionName(const QString &name) const override
    {
        if (name == pressAction())
            return isFailed() ? QStringLiteral("Reintentar") : QStringLiteral("Copiar enlace");
        if (name == kExpand)
            return QStringLiteral("Mostrar detalles");
        if (name == kCollapse)
            return QStringLiteral("Ocultar detalles");
        return QAccessibleActionInterface::localizedActionName(name);
    }

    QStringList keyBindingsForAction(const QString &name) const override
    {
        if (name == pressAction())
            return {QStringLiteral("Return")};
        if (name == kExpand)
            return {QStringLiteral("Right")};
        if (name == kCollapse)
            return {QStringLiteral("Left")};
        return {};
    }

    void doAction(const QString &name) override
    {
        if (!isValid() || !isCard())
            return;
        if (name == pressAction()) {
            view()->activate(m_index);
        } else if (name == setFocusAction()) {
            view()->setCurrentIndex(m_index);
            view()->setFocus(Qt::OtherFocusReason);
        } else if (name == kExpand || name == kCollapse) {
            view()->setDetailsShown(m_index, name == kExpand);
        }
    }

private:
    LinksListView *view() const { return static_cast<LinksListView *>(owner()); }
    bool isCard() const
    {
        return m_index.data(LinksModel::KindRole).toInt() == LinksModel::CardRow;
    }
    bool isFailed() const { return LinkCardDelegate::isFailedCard(m_index); }
    bool isExpanded() const { return m_index.data(LinksModel::ExpandedRole).toBool(); }

    QPersistentModelIndex m_index;
};

} // namespace

LinksListAccessible::LinksListAccessible(LinksListView *view)
    : QAccessibleWidget(view, QAccessible::List)
{}

void LinksListAccessible::registerFor(LinksListView *view)
{
    registerAccessible(view, [](QWidget *widget) -> QAccessibleInterface * {
        auto *view = qobject_cast<LinksListView *>(widget);
        return view ? new LinksListAccessible(view) : nullptr;
    });
}

LinksListView *LinksListAccessible::view() const
{
    return static_cast<LinksListView *>(widget());
}

QAccessible::Role LinksListAccessible::role() const
{
    return QAccessible::List;
}

int LinksListAccessible::childCount() const
{
    return view()->model() ? view()->model()->rowCount() : 0;
}

QAccessibleInterface *LinksListAccessible::child(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    // Rows move when links arrive: an item stands for its row only while it is still there.
    return m_rows.item(
        index,
        [index](QAccessibleInterface *row) {
            return static_cast<LinkRowAccessible *>(row)->row() == index;
        },
        [this, index] { return new LinkRowAccessible(view(), view()->model()->index(index, 0)); });
}

int LinksListAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    const int index = m_rows.indexOf(child);
    return index >= 0 ? static_cast<const LinkRowAccessible *>(child)->row() : -1;
}

QAccessibleInterface *LinksListAccessible::childAt(int x, int y) const
{
    const QModelIndex index = view()->indexAt(view()->viewport()->mapFromGlobal(QPoint(x, y)));
    return index.isValid() ? child(index.row()) : nullptr;
}

QAccessibleInterface *LinksListAccessible::focusChild() const
{
    const QModelIndex current = view()->currentIndex();
    return view()->hasFocus() && current.isValid() ? child(current.row()) : nullptr;
}

} // namespace skyloft
