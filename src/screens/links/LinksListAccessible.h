// SPDX-License-Identifier: MIT
#pragma once

#include <QAccessibleWidget>
#include <QHash>

namespace skyloft {

class LinksListView;

// The links list as assistive technology sees it: a list with one child per row, a heading for
// each service and an item for each card, in the order they are shown. A card's press action
// does what its button does (copy the link, or retry a failed pair), and a failed card can be
// expanded to hold rclone's lines in its description.
class LinksListAccessible : public QAccessibleWidget
{
public:
    explicit LinksListAccessible(LinksListView *view);
    ~LinksListAccessible() override;

    // Makes instances of `className` (a LinksListView) use this interface.
    static void registerFor(const char *className);

    QAccessible::Role role() const override;
    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override;

private:
    LinksListView *view() const;

    mutable QHash<int, QAccessible::Id> m_rows;
};

} // namespace skyloft
