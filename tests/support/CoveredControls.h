// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>
#include <QWidget>

namespace skyloft::test {

// The controls of `screen` that `cover` (a notice floating over it) hides in part: enabled,
// visible widgets that take the keyboard focus.
inline QStringList coveredControls(QWidget *screen, const QWidget *cover)
{
    QStringList covered;
    const QRect over(cover->mapTo(screen, QPoint(0, 0)), cover->size());
    for (QWidget *widget : screen->findChildren<QWidget *>()) {
        if (widget == cover || !widget->isVisibleTo(screen) || !widget->isEnabled() ||
            widget->focusPolicy() == Qt::NoFocus)
            continue;
        if (QRect(widget->mapTo(screen, QPoint(0, 0)), widget->size()).intersects(over))
            covered << widget->metaObject()->className() + QStringLiteral(" ") +
                           widget->accessibleName();
    }
    return covered;
}

} // namespace skyloft::test
