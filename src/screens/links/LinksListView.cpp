// SPDX-License-Identifier: MIT
#include "screens/links/LinksListView.h"

#include "screens/links/CopyLinkButton.h"
#include "screens/links/LinkCardDelegate.h"
#include "screens/links/LinksModel.h"

#include <QKeyEvent>
#include <QScrollBar>

namespace skyloft {

LinksListView::LinksListView(QWidget *parent)
    : QListView(parent), m_delegate(new LinkCardDelegate(this)),
      m_copyButton(new CopyLinkButton(viewport()))
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
    m_copyButton->hide();

    connect(m_delegate, &LinkCardDelegate::copyRequested, this, &LinksListView::requestCopy);
    connect(m_copyButton, &QAbstractButton::clicked, this, [this] { requestCopy(currentIndex()); });
}

void LinksListView::setModel(QAbstractItemModel *model)
{
    QListView::setModel(model);
    // Inserted rows are laid out later; the button follows from updateGeometries then.
    connect(model, &QAbstractItemModel::modelReset, this, &LinksListView::placeCopyButton);
    connect(model, &QAbstractItemModel::dataChanged, this, &LinksListView::placeCopyButton);
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
        requestCopy(currentIndex());
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

void LinksListView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QListView::currentChanged(current, previous);
    placeCopyButton();
}

void LinksListView::scrollContentsBy(int dx, int dy)
{
    QListView::scrollContentsBy(dx, dy);
    placeCopyButton();
}

void LinksListView::updateGeometries()
{
    QListView::updateGeometries();
    placeCopyButton();
}

void LinksListView::requestCopy(const QModelIndex &index)
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

void LinksListView::placeCopyButton()
{
    const QModelIndex current = currentIndex();
    if (!isCard(current.row())) {
        // The first card is current from the start, so its real button is in the
        // accessibility tree without a keyboard visit first.
        const QModelIndex first = nearestCard(0, 1);
        if (first.isValid()) {
            setCurrentIndex(first);
            return; // currentChanged places the button
        }
        m_delegate->setCoveredButton({});
        m_copyButton->hide();
        return;
    }
    m_delegate->setCoveredButton(current);
    m_copyButton->setRetry(LinkCardDelegate::isFailedCard(current));
    m_copyButton->setGeometry(m_delegate->copyButtonRect(visualRect(current), current));
    m_copyButton->show();
}

} // namespace skyloft
