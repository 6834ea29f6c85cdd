// SPDX-License-Identifier: MIT
#include "screens/upload/DropZone.h"

#include "ui/Accessibility.h"
#include "ui/Images.h"
#include "ui/StyledButton.h"
#include "ui/SystemStyle.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QStackedLayout>
#include <QVBoxLayout>

namespace skyloft {

namespace {

const QString kSueltaArchivos = QStringLiteral("Suelta archivos aquí");
const QString kEliminarTodos = QStringLiteral("Eliminar todos los archivos");
const QString kArchivosEnCola = QStringLiteral("Archivos en cola");
const QString kElegirArchivos =
    QStringLiteral("Haz clic o pulsa Intro o Espacio para elegir archivos o carpetas");

QString countText(int files)
{
    return files == 1 ? QStringLiteral("1 archivo en cola")
                      : QStringLiteral("%1 archivos en cola").arg(files);
}

constexpr qreal kOutlineRadius = 12;
constexpr qreal kOutlineWidth = 2;
constexpr int kSymbolSize = 32;
constexpr int kStackSpacing = 12;
constexpr int kListHeight = 100;
constexpr int kClearButtonTopPadding = 4;
constexpr int kListSideMargin = 8;
constexpr int kRowSpacing = 1; // around each name: 2 between two

StyledButton::Look clearButtonLook()
{
    StyledButton::Look look;
    look.background = systemGray(0.12);
    look.foreground = systemRed();
    look.font = textStyleFont(TextStyle::Subheadline);
    look.radius = 5;
    look.padding = {8, 2, 8, 2};
    look.imageSize = 14;
    look.spacing = 4;
    return look;
}

} // namespace

DropZone::DropZone(QAbstractItemModel *queuedFiles, QWidget *parent)
    : QWidget(parent), m_chooserMenu(new QMenu(this)), m_queuedFiles(queuedFiles),
      m_pages(new QStackedLayout(this)), m_emptyPage(makeEmptyPage()),
      m_listPage(makeListPage(queuedFiles))
{
    connect(m_chooserMenu->addAction(QStringLiteral("Elegir archivos…")), &QAction::triggered, this,
            [this] { Q_EMIT chooseRequested(ChooserKind::Files); });
    connect(m_chooserMenu->addAction(QStringLiteral("Elegir carpeta…")), &QAction::triggered, this,
            [this] { Q_EMIT chooseRequested(ChooserKind::Folder); });
    setFixedSize(kWidth, kHeight);
    setAcceptDrops(true);
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(kSueltaArchivos);
    setAccessibleDescription(kElegirArchivos);
    // A screen reader's press does what a click or Return does: the file chooser.
    registerAccessibleTraits(this, [](QWidget *widget) {
        auto *zone = static_cast<DropZone *>(widget);
        return AccessibleTraits{QAccessible::Grouping, {}, kElegirArchivos, [zone] {
                                    zone->offerChoosersFromKeyboard();
                                }};
    });
    m_pages->addWidget(m_emptyPage);
    m_pages->addWidget(m_listPage);

    connect(queuedFiles, &QAbstractItemModel::rowsInserted, this, &DropZone::showPageForQueue);
    connect(queuedFiles, &QAbstractItemModel::rowsRemoved, this, &DropZone::showPageForQueue);
    connect(queuedFiles, &QAbstractItemModel::modelReset, this, &DropZone::showPageForQueue);
    showPageForQueue();
}

QWidget *DropZone::makeEmptyPage()
{
    auto *page = new QWidget(this);
    // The page is only drawn: clicks and drops go to the zone.
    page->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto *symbol = new QLabel(page);
    symbol->setPixmap(imagePixmap(QStringLiteral("tray.and.arrow.down.fill"),
                                  {kSymbolSize, kSymbolSize}, devicePixelRatioF()));
    QLabel *text = textLabel(kSueltaArchivos, textStyleFont(TextStyle::Headline),
                             secondaryLabelColour(), page);

    auto *layout = new QVBoxLayout(page);
    layout->setSpacing(kStackSpacing);
    layout->addStretch(1);
    layout->addWidget(symbol, 0, Qt::AlignHCenter);
    layout->addWidget(text, 0, Qt::AlignHCenter);
    layout->addStretch(1);
    return page;
}

QWidget *DropZone::makeListPage(QAbstractItemModel *queuedFiles)
{
    auto *page = new QWidget(this);
    m_list = new QListView(page);
    m_list->setModel(queuedFiles);
    m_list->setFixedHeight(kListHeight);
    m_list->setUniformItemSizes(true);
    // A huge folder's rows are laid out a batch per turn of the event loop, not all at once.
    m_list->setLayoutMode(QListView::Batched);
    m_list->setBatchSize(500);
    m_list->setSpacing(kRowSpacing);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setTextElideMode(Qt::ElideMiddle);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->viewport()->setAutoFillBackground(false);
    m_list->setAutoFillBackground(false);
    m_list->setAccessibleName(kArchivosEnCola);
    // A click on the list chooses more files, as anywhere else on the zone.
    m_list->viewport()->installEventFilter(this);

    m_clear = new StyledButton(kEliminarTodos, QStringLiteral("trash"), clearButtonLook(), page);
    connect(m_clear, &QAbstractButton::clicked, this, &DropZone::clearRequested);
    m_count =
        textLabel(QString(), textStyleFont(TextStyle::Footnote), secondaryLabelColour(), page);
    auto *footer = new QHBoxLayout;
    footer->setSpacing(kStackSpacing);
    footer->addStretch(1);
    footer->addWidget(m_count);
    footer->addWidget(m_clear);
    footer->addStretch(1);

    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(kListSideMargin, 0, kListSideMargin, 0);
    layout->setSpacing(kStackSpacing + kClearButtonTopPadding - StyledButton::kFocusMargin);
    layout->addStretch(1);
    layout->addWidget(m_list);
    layout->addLayout(footer);
    layout->addStretch(1);
    return page;
}

bool DropZone::isEmpty() const
{
    return m_queuedFiles->rowCount() == 0;
}

void DropZone::showPageForQueue()
{
    m_pages->setCurrentWidget(isEmpty() ? m_emptyPage : m_listPage);
    m_count->setText(countText(m_queuedFiles->rowCount()));
}

void DropZone::setDraggedOver(bool draggedOver)
{
    if (m_draggedOver == draggedOver)
        return;
    m_draggedOver = draggedOver;
    update();
}

void DropZone::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal inset = kOutlineWidth / 2;
    const QRectF outline = QRectF(rect()).adjusted(inset, inset, -inset, -inset);
    if (m_draggedOver) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(systemBlue(0.12));
        painter.drawRoundedRect(outline, kOutlineRadius, kOutlineRadius);
    }
    QPen pen(hasFocus() || m_draggedOver ? systemBlue() : systemGray(0.6), kOutlineWidth,
             Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setDashPattern({3, 3}); // in pen widths: 6 points on, 6 off
    pen.setMiterLimit(10);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(outline, kOutlineRadius, kOutlineRadius);
}

void DropZone::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
        setDraggedOver(true);
    }
}

void DropZone::dragLeaveEvent(QDragLeaveEvent *event)
{
    setDraggedOver(false);
    QWidget::dragLeaveEvent(event);
}

void DropZone::dragMoveEvent(QDragMoveEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void DropZone::dropEvent(QDropEvent *event)
{
    setDraggedOver(false);
    // Each URL reaches the queue later, on the GUI thread, as an item provider's load would.
    for (const QUrl &url : event->mimeData()->urls())
        QMetaObject::invokeMethod(
            this, [this, url] { Q_EMIT urlDropped(url); }, Qt::QueuedConnection);
    event->acceptProposedAction();
}

void DropZone::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        offerChoosers(event->globalPosition().toPoint());
    QWidget::mouseReleaseEvent(event);
}

bool DropZone::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton &&
            m_list->viewport()->rect().contains(mouse->position().toPoint()))
            offerChoosers(mouse->globalPosition().toPoint());
    }
    return QWidget::eventFilter(watched, event);
}

void DropZone::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        offerChoosersFromKeyboard();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void DropZone::offerChoosers(const QPoint &globalPosition)
{
    m_chooserMenu->popup(globalPosition);
}

void DropZone::offerChoosersFromKeyboard()
{
    // Under the zone's middle, its first entry ready for Return.
    offerChoosers(mapToGlobal(QPoint(width() / 2, height() / 2)));
    m_chooserMenu->setActiveAction(m_chooserMenu->actions().constFirst());
}

void DropZone::focusInEvent(QFocusEvent *event)
{
    update();
    QWidget::focusInEvent(event);
}

void DropZone::focusOutEvent(QFocusEvent *event)
{
    update();
    QWidget::focusOutEvent(event);
}

} // namespace skyloft
