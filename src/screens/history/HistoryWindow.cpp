// SPDX-License-Identifier: MIT
#include "screens/history/HistoryWindow.h"

#include "history/HistoryStore.h"
#include "screens/history/HistoryModel.h"
#include "ui/Accessibility.h"
#include "ui/Dialogs.h"
#include "ui/ExportButton.h"
#include "ui/QrDialog.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QShortcut>
#include <QStyle>
#include <QTableView>
#include <QUrl>
#include <QVBoxLayout>

namespace skyloft {

namespace {

const QString kTitulo = QStringLiteral("Historial de subidas");
const QString kBuscar = QStringLiteral("Buscar por archivo o servicio");
const QString kTabla = QStringLiteral("Subidas registradas");
const QString kCopiarEnlace = QStringLiteral("Copiar enlace");
const QString kAbrir = QStringLiteral("Abrir en el navegador");
const QString kQr = QStringLiteral("Mostrar código QR");
const QString kCopiarRuta = QStringLiteral("Copiar ruta local");
const QString kReintentar = QStringLiteral("Reintentar");
const QString kEliminar = QStringLiteral("Eliminar del historial…");
const QString kEliminarBoton = QStringLiteral("Eliminar");
const QString kCancelar = QStringLiteral("Cancelar");
const QString kBorrarBusqueda = QStringLiteral("Borrar la búsqueda");

// What deleting the row does not do, as the row stands: an uploaded file stays on its service; a
// copy that failed or was cancelled left nothing there to keep.
QString deletionNote(const PairOutcome &pair)
{
    const QString onlyTheRow = QStringLiteral("solo se olvida esta línea del historial.");
    switch (pair.state) {
    case PairState::Subido:
        return QStringLiteral("El archivo sigue en ") + pair.service + QStringLiteral("; ") +
               onlyTheRow;
    case PairState::EnlaceFallido:
        return QStringLiteral("El archivo se copió a ") + pair.service +
               QStringLiteral(" pero no se obtuvo su enlace; ") + onlyTheRow;
    case PairState::CopiaFallida:
    case PairState::Cancelado:
        break;
    }
    return QStringLiteral("Solo se olvida esta línea del historial.");
}

void copyToClipboard(const QString &text)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

} // namespace

HistoryWindowSetup HistoryWindowSetup::forApplication()
{
    return {&QDesktopServices::openUrl, desktopSaveFileChooser()};
}

HistoryWindow::HistoryWindow(HistoryStore *store, HistoryWindowSetup setup, QWidget *parent)
    : QWidget(parent, Qt::Window), m_store(store), m_setup(std::move(setup)),
      m_model(new HistoryModel(store, this)), m_filter(new HistoryFilter(m_model, this)),
      m_search(new QLineEdit(this)), m_table(new QTableView(this)),
      m_export(new ExportButton(
          [this] {
              QList<HistoryEntry> shown;
              for (int row = 0; row < m_filter->rowCount(); ++row)
                  shown.append(m_filter->entryAt(m_filter->index(row, 0)));
              return exportedLinks(shown);
          },
          m_setup.chooseFile, this)),
      m_count(new QLabel(this))
{
    setWindowTitle(kTitulo);
    setAccessibleName(kTitulo);
    registerAccessibleTraits(this, [](QWidget *) {
        return AccessibleTraits{QAccessible::Window, {}, {}, {}};
    });
    resize(860, 520);

    m_search->setPlaceholderText(kBuscar);
    m_search->setAccessibleName(kBuscar);
    // Qt's own clear button has no name for a screen reader; this one has.
    QAction *clear = m_search->addAction(style()->standardIcon(QStyle::SP_LineEditClearButton),
                                         QLineEdit::TrailingPosition);
    clear->setText(kBorrarBusqueda);
    clear->setToolTip(kBorrarBusqueda);
    clear->setVisible(false);
    connect(clear, &QAction::triggered, m_search, &QLineEdit::clear);
    connect(m_search, &QLineEdit::textChanged, clear,
            [clear](const QString &text) { clear->setVisible(!text.isEmpty()); });
    connect(m_search, &QLineEdit::textChanged, m_filter, &HistoryFilter::setSearch);

    m_table->setModel(m_filter);
    m_table->setAccessibleName(kTabla);
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(HistoryModel::Fecha, Qt::DescendingOrder);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setAlternatingRowColors(true);
    m_table->setWordWrap(false);
    m_table->setTabKeyNavigation(false);
    m_table->verticalHeader()->hide();
    // Fixed row heights keep a long history cheap to scroll: no row is measured.
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 8);
    QHeaderView *header = m_table->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setSectionResizeMode(HistoryModel::Archivo, QHeaderView::Stretch);
    header->resizeSection(HistoryModel::Fecha, 130);
    header->resizeSection(HistoryModel::Servicio, 110);
    header->resizeSection(HistoryModel::Estado, 110);
    header->resizeSection(HistoryModel::Tamano, 80);
    header->resizeSection(HistoryModel::Enlace, 220);
    m_table->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_table, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        const QModelIndex index = m_table->indexAt(pos);
        showRowMenu(index.isValid() ? index : m_table->currentIndex(),
                    m_table->viewport()->mapToGlobal(pos));
    });
    connect(m_table, &QAbstractItemView::activated, this, [this](const QModelIndex &index) {
        showRowMenu(index,
                    m_table->viewport()->mapToGlobal(m_table->visualRect(index).bottomLeft()));
    });
    // The usual keyboard way to a context menu, besides the menu key.
    auto *menuKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), m_table);
    menuKey->setContext(Qt::WidgetShortcut);
    connect(menuKey, &QShortcut::activated, this, [this] {
        const QModelIndex index = m_table->currentIndex();
        showRowMenu(index,
                    m_table->viewport()->mapToGlobal(m_table->visualRect(index).bottomLeft()));
    });

    // Ctrl+C copies the row's link and Delete asks to forget the row, as in a file manager.
    const auto onCurrentRow = [this](const QKeySequence &keys, auto act) {
        auto *shortcut = new QShortcut(keys, m_table);
        shortcut->setContext(Qt::WidgetShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, act] {
            if (const QModelIndex index = m_table->currentIndex(); index.isValid())
                act(m_filter->entryAt(index));
        });
    };
    onCurrentRow(QKeySequence::Copy, [](const HistoryEntry &entry) {
        if (!entry.pair.link.isEmpty())
            copyToClipboard(entry.pair.link);
    });
    onCurrentRow(QKeySequence::Delete, [this](const HistoryEntry &entry) { askToDelete(entry); });

    auto *find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, m_search, [this] {
        m_search->setFocus(Qt::ShortcutFocusReason);
        m_search->selectAll();
    });

    auto *top = new QHBoxLayout;
    top->addWidget(m_search, 1);
    top->addWidget(m_export);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_count);

    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(m_filter, signal, this, &HistoryWindow::updateCount);
    connect(m_filter, &QAbstractItemModel::modelReset, this, &HistoryWindow::updateCount);
    connect(m_filter, &QAbstractItemModel::layoutChanged, this, &HistoryWindow::updateCount);
    connect(m_model, &HistoryModel::loaded, this, &HistoryWindow::updateCount);
    updateCount();
    setTabOrder(m_search, m_export);
    setTabOrder(m_export, m_table);
    m_search->setFocus();
}

void HistoryWindow::keyPressEvent(QKeyEvent *event)
{
    // Escape reaches the window when the control with the focus has no use for it.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void HistoryWindow::updateCount()
{
    const int shown = m_filter->rowCount();
    const int total = m_model->rowCount();
    const QString text = m_model->isLoading() ? QStringLiteral("Cargando el historial…")
                         : shown == total
                             ? QStringLiteral("%1 subidas").arg(total)
                             : QStringLiteral("%1 de %2 subidas").arg(shown).arg(total);
    m_count->setText(text);
    m_count->setAccessibleName(text);
}

QMenu *HistoryWindow::rowMenu(const QModelIndex &index)
{
    if (!index.isValid())
        return nullptr;
    const HistoryEntry entry = m_filter->entryAt(index);
    const PairOutcome &pair = entry.pair;
    const bool hasLink = !pair.link.isEmpty();
    auto *menu = new QMenu(this);
    menu->setAccessibleName(pair.fileName);

    QAction *copyLink =
        menu->addAction(kCopiarEnlace, this, [link = pair.link] { copyToClipboard(link); });
    QAction *open =
        menu->addAction(kAbrir, this, [this, link = pair.link] { m_setup.openUrl(QUrl(link)); });
    QAction *qr = menu->addAction(kQr, this, [this, pair] {
        (new QrDialog(pair.fileName, pair.link, m_setup.chooseFile, this))->open();
    });
    for (QAction *action : {copyLink, open, qr})
        action->setEnabled(hasLink);
    QAction *copyPath =
        menu->addAction(kCopiarRuta, this, [path = pair.localPath] { copyToClipboard(path); });
    copyPath->setEnabled(!pair.localPath.isEmpty());
    // With several rows selected, "Reintentar" tries every failed one of them again at once.
    const QList<PairOutcome> failed = failedPairsFor(index);
    if (!failed.isEmpty())
        menu->addAction(kReintentar, this, [this, failed] { Q_EMIT retryRequested(failed); });
    menu->addSeparator();
    menu->addAction(kEliminar, this, [this, entry] { askToDelete(entry); });
    return menu;
}

QList<PairOutcome> HistoryWindow::failedPairsFor(const QModelIndex &index) const
{
    QModelIndexList rows = m_table->selectionModel()->selectedRows();
    if (!m_table->selectionModel()->isRowSelected(index.row(), index.parent()))
        rows = {index};
    QList<PairOutcome> failed;
    for (const QModelIndex &row : std::as_const(rows)) {
        const PairOutcome pair = m_filter->entryAt(row).pair;
        if (canRetry(pair))
            failed << pair;
    }
    return failed;
}

void HistoryWindow::showRowMenu(const QModelIndex &index, const QPoint &globalPos)
{
    QMenu *menu = rowMenu(index);
    if (!menu)
        return;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPos);
}

void HistoryWindow::askToDelete(const HistoryEntry &entry)
{
    DialogQuestion question;
    question.text =
        QStringLiteral("¿Eliminar «") + entry.pair.fileName + QStringLiteral("» del historial?");
    question.informativeText = deletionNote(entry.pair);
    question.buttons = {{kEliminarBoton, DialogButton::Role::Destructive},
                        {kCancelar, DialogButton::Role::Cancel}};
    Dialogs::ask(this, question, this, [this, id = entry.id](int answer) {
        if (answer == 0)
            m_store->remove(id);
    });
}

} // namespace skyloft
