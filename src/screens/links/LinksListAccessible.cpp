// SPDX-License-Identifier: MIT
#include "screens/links/LinksListAccessible.h"

#include "screens/links/LinkCardDelegate.h"
#include "screens/links/LinksListView.h"
#include "screens/links/LinksModel.h"
#include "ui/Accessibility.h"

#include <QPersistentModelIndex>
#include <QPointer>
#include <QWindow>

namespace skyloft {

namespace {

const QString kExpand = QStringLiteral("expand");
const QString kCollapse = QStringLiteral("collapse");

// One row of the list: it reads the model at every question, so it is never out of date; once
// its row is gone it is no longer valid and the list makes another.
class LinkRowAccessible : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    LinkRowAccessible(LinksListView *view, const QModelIndex &index) : m_view(view), m_index(index)
    {}

    int row() const { return m_index.row(); }

    bool isValid() const override { return m_view && m_index.isValid(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_view ? m_view->window()->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override
    {
        return QAccessible::queryAccessibleInterface(m_view.data());
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString &) override {}

    bool isCard() const
    {
        return m_index.data(LinksModel::KindRole).toInt() == LinksModel::CardRow;
    }
    bool isFailed() const { return LinkCardDelegate::isFailedCard(m_index); }
    bool isExpanded() const { return m_index.data(LinksModel::ExpandedRole).toBool(); }

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
        const QRect shown = m_view->visualRect(m_index);
        state.offscreen = !m_view->isVisible() || !m_view->viewport()->rect().intersects(shown);
        if (isCard()) {
            state.focusable = true;
            state.focused = m_view->hasFocus() && m_view->currentIndex() == m_index;
            state.active = m_view->currentIndex() == m_index;
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
        const QRect shown = m_view->visualRect(m_index);
        return {m_view->viewport()->mapToGlobal(shown.topLeft()), shown.size()};
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface && isCard()
                   ? static_cast<QAccessibleActionInterface *>(this)
                   : nullptr;
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
            m_view->activate(m_index);
        } else if (name == setFocusAction()) {
            m_view->setCurrentIndex(m_index);
            m_view->setFocus(Qt::OtherFocusReason);
        } else if (name == kExpand || name == kCollapse) {
            m_view->setDetailsShown(m_index, name == kExpand);
        }
    }

private:
    QPointer<LinksListView> m_view;
    QPersistentModelIndex m_index;
};

} // namespace

LinksListAccessible::LinksListAccessible(LinksListView *view)
    : QAccessibleWidget(view, QAccessible::List)
{}

LinksListAccessible::~LinksListAccessible()
{
    for (const QAccessible::Id id : std::as_const(m_rows))
        QAccessible::deleteAccessibleInterface(id);
}

void LinksListAccessible::registerFor(const char *className)
{
    registerAccessible(className, [](QWidget *widget) -> QAccessibleInterface * {
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
    if (const auto it = m_rows.constFind(index); it != m_rows.cend()) {
        auto *row = static_cast<LinkRowAccessible *>(QAccessible::accessibleInterface(*it));
        if (row && row->isValid() && row->row() == index)
            return row;
        // Rows moved or went away since: the old item no longer stands for this row.
        QAccessible::deleteAccessibleInterface(*it);
    }
    auto *row = new LinkRowAccessible(view(), view()->model()->index(index, 0));
    m_rows.insert(index, QAccessible::registerAccessibleInterface(row));
    return row;
}

int LinksListAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    const auto *row = dynamic_cast<const LinkRowAccessible *>(child);
    return row && row->isValid() && row->parent() == this ? row->row() : -1;
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
