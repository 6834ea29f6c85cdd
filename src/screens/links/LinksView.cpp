// SPDX-License-Identifier: MIT
#include "screens/links/LinksView.h"

#include "core/ServiceCatalog.h"
#include "screens/links/LinksListView.h"
#include "screens/links/LinksModel.h"
#include "screens/links/LinksState.h"
#include "ui/Dialogs.h"
#include "ui/ExportButton.h"
#include "ui/SystemStyle.h"
#include "ui/Toast.h"
#include "upload/GeneratedLinks.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedLayout>
#include <QVBoxLayout>

namespace skyloft {

namespace {

const QString kTitle = QStringLiteral("Enlaces Generados");
const QString kCopiarTodo = QStringLiteral("Copiar Todo");
const QString kReintentarFallidos = QStringLiteral("Reintentar fallidos");
const QString kLimpiarTodo = QStringLiteral("Limpiar Todo");
const QString kSinEnlaces = QStringLiteral("Aún no hay enlaces generados");
const QString kConfirmarBorrado =
    QStringLiteral("¿Estás seguro de que quieres borrar todos los enlaces?");
const QString kBorrarTodo = QStringLiteral("Borrar Todo");
const QString kCancelar = QStringLiteral("Cancelar");

// The toast has a band of its own under the list, so that it never covers a card's button.
constexpr int kToastMargin = 12;
constexpr int kEmptyStateTopPadding = 100;

QPushButton *textButton(const QString &text, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setAccessibleName(text);
    button->setAutoDefault(false);
    return button;
}

// The session's links as an export lists them: by remote name, then in recording order.
QList<ExportedLink> exportedLinks(const GeneratedLinks &generatedLinks)
{
    QList<ExportedLink> exported;
    const LinksByRemote &links = generatedLinks.links();
    for (auto it = links.cbegin(); it != links.cend(); ++it) {
        QString service = it.key();
        for (const ServiceEntry &entry : ServiceCatalog::entries()) {
            if (entry.remoteName == it.key())
                service = entry.displayName;
        }
        for (const LinkItem &item : it.value()) {
            if (item.failed() || item.link.isEmpty()) // a failed pair has no link to export
                continue;
            PairOutcome pair = item.outcome(it.key());
            pair.service = service;
            exported.append({pair, item.ended});
        }
    }
    return exported;
}

} // namespace

LinksView::LinksView(GeneratedLinks *generatedLinks, UploadRuns *runs, SaveFileChooser chooseFile,
                     QWidget *parent)
    : QWidget(parent), m_generatedLinks(generatedLinks), m_chooseFile(std::move(chooseFile)),
      m_state(new LinksState(generatedLinks, runs, this)),
      m_model(new LinksModel(generatedLinks, this)), m_list(new LinksListView(this)),
      m_body(new QStackedLayout), m_emptyState(makeEmptyState()),
      m_toast(new Toast(QString(), Toast::Edge::Bottom, kToastMargin, this))
{
    // The page colour fills the whole screen, under the toolbar as well as the list.
    fillWithPage(this);

    m_list->setModel(m_model);
    m_body->addWidget(m_emptyState);
    m_body->addWidget(m_list);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(makeToolbar());
    layout->addLayout(m_body, 1);
    m_toast->setMessage(QStringLiteral("📋 Enlaces copiados")); // the longer text sizes the band
    layout->addSpacing(m_toast->height() + 2 * kToastMargin);

    showEmptyStateIfNoLinks();
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &LinksView::showEmptyStateIfNoLinks);
    connect(m_model, &QAbstractItemModel::modelReset, this, &LinksView::showEmptyStateIfNoLinks);
    // A retried card that now holds its link may leave nothing to retry.
    connect(m_model, &QAbstractItemModel::dataChanged, this, &LinksView::showEmptyStateIfNoLinks);
    connect(m_list, &LinksListView::copyRequested, m_state, &LinksState::copyLink);
    connect(m_list, &LinksListView::retryRequested, m_state, &LinksState::retry);
    connect(m_state, &LinksState::toastTextChanged, m_toast, &Toast::setMessage);
    connect(m_state, &LinksState::showToastChanged, m_toast, &Toast::setShown);
    connect(m_state, &LinksState::showClearConfirmationChanged, this, [this](bool shown) {
        if (shown)
            askToClear();
    });
    m_toast->raise();
}

QWidget *LinksView::makeToolbar()
{
    auto *bar = new QWidget(this);
    QLabel *title = textLabel(kTitle, textStyleFont(TextStyle::Title3, true), nearBlack(), bar);
    title->setAccessibleName(kTitle);

    m_retryFailed = textButton(kReintentarFallidos, bar);
    connect(m_retryFailed, &QPushButton::clicked, m_state, &LinksState::retryFailed);
    m_copyAll = textButton(kCopiarTodo, bar);
    m_clearAll = textButton(kLimpiarTodo, bar);
    connect(m_copyAll, &QPushButton::clicked, m_state, &LinksState::copyAll);
    connect(m_clearAll, &QPushButton::clicked, m_state, &LinksState::requestClear);
    m_export = new ExportButton([links = m_generatedLinks] { return exportedLinks(*links); },
                                m_chooseFile, bar);

    auto *layout = new QHBoxLayout(bar);
    layout->setContentsMargins(kDefaultPadding, 10, kDefaultPadding, 4);
    layout->setSpacing(8);
    layout->addWidget(title);
    layout->addStretch(1);
    layout->addWidget(m_retryFailed);
    layout->addWidget(m_copyAll);
    layout->addWidget(m_clearAll);
    layout->addWidget(m_export);
    return bar;
}

QWidget *LinksView::makeEmptyState()
{
    auto *page = new QWidget(this);
    QLabel *label =
        textLabel(kSinEnlaces, textStyleFont(TextStyle::Title3), secondaryLabelColour(), page);

    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(kDefaultPadding, kDefaultPadding + kEmptyStateTopPadding,
                               kDefaultPadding, kDefaultPadding);
    layout->addWidget(label, 0, Qt::AlignHCenter);
    layout->addStretch(1);
    return page;
}

void LinksView::showEmptyStateIfNoLinks()
{
    const bool empty = m_model->rowCount() == 0;
    m_body->setCurrentWidget(empty ? m_emptyState : static_cast<QWidget *>(m_list));
    // Nothing to copy or clear.
    m_copyAll->setEnabled(!empty);
    m_retryFailed->setVisible(m_state->hasFailed());
    m_clearAll->setEnabled(!empty);
    m_export->setEnabled(!empty);
}

void LinksView::askToClear()
{
    DialogQuestion question;
    question.text = kConfirmarBorrado;
    question.buttons = {{kBorrarTodo, DialogButton::Role::Destructive},
                        {kCancelar, DialogButton::Role::Cancel}};
    Dialogs::ask(this, question, m_state,
                 [state = m_state](int answer) { state->answerClear(answer == 0); });
}

} // namespace skyloft
