// SPDX-License-Identifier: MIT
#pragma once

#include "ui/Accessibility.h"

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

    // Makes `view`, and every LinksListView, use this interface.
    static void registerFor(LinksListView *view);

    QAccessible::Role role() const override;
    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override;

private:
    LinksListView *view() const;

    mutable AccessibleItems m_rows;
};

} // namespace skyloft
