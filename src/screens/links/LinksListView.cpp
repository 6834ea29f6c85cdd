// SPDX-License-Identifier: MIT
#include "screens/links/LinksListView.h"

#include "screens/links/LinkCardDelegate.h"
#include "screens/links/LinksListAccessible.h"
#include "screens/links/LinksModel.h"

#include <QKeyEvent>
#include <QScrollBar>

namespace skyloft {

LinksListView::LinksListView(QWidget *parent)
    : QListView(parent), m_delegate(new LinkCardDelegate(this))
{
    setItemDelegate(m_delegate);
    setFrameShape(QFrame::NoFrame);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setResizeMode(QListView::Adjust);
    // Thousands of cards arriving at once are measured a few hundred per turn of the event
    // loop, so the window keeps reacting meanwhile.
    setLayoutMode(QListView::Batched);
    setBatchSize(200);
    verticalScrollBar()->setSingleStep(20);
    setAccessibleName(QStringLiteral("Enlaces"));
    LinksListAccessible::registerFor(this);

    connect(m_delegate, &LinkCardDelegate::copyRequested, this, &LinksListView::activate);
    connect(m_delegate, &LinkCardDelegate::detailsToggled, this, [this](const QModelIndex &index) {
        setDetailsShown(index, !index.data(LinksModel::ExpandedRole).toBool());
    });
}

void LinksListView::setModel(QAbstractItemModel *model)
{
    QListView::setModel(model);
    // A retried card changes its height: it becomes a link, or says something else.
    connect(model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &first) { Q_EMIT m_delegate->sizeHintChanged(first); });
}

bool LinksListView::isCard(int row) const
{
    return model() && row >= 0 && row < model()->rowCount() &&
           model()->index(row, 0).data(LinksModel::KindRole).toInt() == LinksModel::CardRow;
}

// The first card at `row` or beyond it in the direction of `step` (+1 or -1), else the closest
// card the other way.
QModelIndex LinksListView::nearestCard(int row, int step) const
{
    const int rows = model() ? model()->rowCount() : 0;
    for (int direction : {step, -step}) {
        for (int r = row; r >= 0 && r < rows; r += direction) {
            if (isCard(r))
                return model()->index(r, 0);
        }
    }
    return {};
}

QModelIndex LinksListView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex current = currentIndex();
    switch (cursorAction) {
    case MoveHome:
        return nearestCard(0, 1);
    case MoveEnd:
        return nearestCard(model() ? model()->rowCount() - 1 : -1, -1);
    case MoveDown:
    case MoveNext:
        return current.isValid() ? nearestCard(current.row() + 1, 1) : nearestCard(0, 1);
    case MoveUp:
    case MovePrevious:
        return current.isValid() ? nearestCard(current.row() - 1, -1) : nearestCard(0, 1);
    default:
        break;
    }
    const QModelIndex moved = QListView::moveCursor(cursorAction, modifiers);
    return moved.isValid() ? nearestCard(moved.row(), cursorAction == MovePageUp ? -1 : 1) : moved;
}

void LinksListView::keyPressEvent(QKeyEvent *event)
{
    const bool activates = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
                           event->key() == Qt::Key_Space || event->matches(QKeySequence::Copy);
    if (activates && isCard(currentIndex().row())) {
        activate(currentIndex());
        event->accept();
        return;
    }
    const bool toggles = event->key() == Qt::Key_Right || event->key() == Qt::Key_Left;
    if (toggles && LinkCardDelegate::isFailedCard(currentIndex())) {
        setDetailsShown(currentIndex(), event->key() == Qt::Key_Right);
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

void LinksListView::activate(const QModelIndex &index)
{
    if (!isCard(index.row()))
        return;
    if (LinkCardDelegate::isFailedCard(index)) {
        const auto *links = qobject_cast<const LinksModel *>(model());
        if (!links)
            return;
        const auto [remoteName, item] = links->itemPosition(index);
        Q_EMIT retryRequested(remoteName, item);
        return;
    }
    Q_EMIT copyRequested(index.data(LinksModel::LinkRole).toString());
}

void LinksListView::setDetailsShown(const QModelIndex &index, bool shown)
{
    if (!model() || !model()->setData(index, shown, LinksModel::ExpandedRole))
        return;
    QAccessibleStateChangeEvent event(this, [] {
        QAccessible::State state;
        state.expanded = true;
        return state;
    }());
    event.setChild(index.row());
    QAccessible::updateAccessibility(&event);
    scrollTo(index);
}

} // namespace skyloft
