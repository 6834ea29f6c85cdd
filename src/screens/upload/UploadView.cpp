// SPDX-License-Identifier: MIT
#include "screens/upload/UploadView.h"

#include "core/RcloneBackends.h"
#include "core/RcloneConfigFile.h"
#include "core/RemoteDestinations.h"
#include "core/ServiceCatalog.h"
#include "screens/upload/DropZone.h"
#include "screens/upload/ProgressCard.h"
#include "screens/upload/QueuedFilesModel.h"
#include "screens/upload/ServicePill.h"
#include "ui/Dialogs.h"
#include "ui/Images.h"
#include "ui/SectionSwitcher.h"
#include "ui/StyledButton.h"
#include "ui/SystemStyle.h"
#include "upload/FileIntake.h"
#include "upload/UploadRuns.h"
#include "upload/UploadState.h"

#include <algorithm>

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QShowEvent>
#include <QVBoxLayout>

namespace skyloft {

namespace {

const QString kSkyloft = QStringLiteral("Skyloft");
const QString kServicios = QStringLiteral("Servicios:");
const QString kOtros = QStringLiteral("Otros:");
const QString kSubirArchivos = QStringLiteral("Subir Archivos");
const QString kEligeUnServicio = QStringLiteral("Elige al menos un servicio");
const QString kSubiendoArchivos = QStringLiteral("Subiendo archivos...");
const QString kCancelarTodo = QStringLiteral("Cancelar todo");
const QString kCancelar = QStringLiteral("Cancelar");

const QString kServicioNoAutorizado = QStringLiteral("🚫 Servicio no autorizado");
const QString kTieneQueAutorizar = QStringLiteral(
    "Tiene que autorizar al menos uno de los servicios seleccionados para subir archivos.");
const QString kIrAConfiguracion = QStringLiteral("Ir a Configuración");

const QString kNoSePuedenSubir = QStringLiteral("No se pueden subir estos archivos");

const QString kSinConexion = QStringLiteral("🌐 Sin conexión a Internet");
const QString kSiNoTeConectas =
    QStringLiteral("Oye, si no te conectas, pocos vas a subir, compañero.");
const QString kValeLoIntento = QStringLiteral("Vale, lo intento");

const QString kActualizacionDisponible = QStringLiteral("Actualización disponible");
const QString kHayUnaNuevaVersion =
    QStringLiteral("Hay una nueva versión disponible de la app. ¿Deseas actualizar?");
const QString kDescargar = QStringLiteral("Descargar");

constexpr int kLogoSize = 100;
// With the row of other remotes the logo gives up the room that row takes.
constexpr int kCompactLogoSize = 52;
constexpr int kTitlePoints = 32;
constexpr int kTitleTopPadding = 4;
constexpr int kPillSpacing = 16;
constexpr int kUploadButtonTopPadding = 20;
constexpr int kProgressSpacing = 15;
constexpr int kCardSpacing = 4;

DialogQuestion question(const QString &text, const QString &informativeText,
                        const QList<DialogButton> &buttons)
{
    DialogQuestion question;
    question.text = text;
    question.informativeText = informativeText;
    question.buttons = buttons;
    return question;
}

StyledButton::Look uploadButtonLook()
{
    StyledButton::Look look;
    look.background = bluePlateColour(0.8);
    look.foreground = onPlateColour();
    look.font = systemFont(16, QFont::DemiBold);
    look.radius = 10;
    look.padding = {20, 10, 20, 10};
    look.imageSize = 18;
    // Shown only with files and services, and then always drawn at 1.05.
    look.scale = 1.05;
    return look;
}

StyledButton::Look cancelAllLook()
{
    StyledButton::Look look;
    look.background = redPlateColour();
    look.foreground = onPlateColour();
    look.font = textStyleFont(TextStyle::Headline);
    look.radius = 8;
    look.padding = {14, 4, 14, 4};
    return look;
}

} // namespace

UploadViewSetup UploadViewSetup::forApplication()
{
    return {RclonePaths::process(), WebAddresses::fromEnvironment(), &QDesktopServices::openUrl,
            desktopFileChooser()};
}

UploadView::UploadView(UploadViewSetup setup, QWidget *parent)
    : QWidget(parent), m_setup(std::move(setup)), m_state(new UploadState(this)),
      m_runs(m_setup.runs ? m_setup.runs : new UploadRuns(m_setup.paths, this)),
      m_checks(new WebChecks(m_setup.webAddresses, this)),
      m_queuedFiles(new QueuedFilesModel(m_state, this)), m_sections(new SectionSwitcher(this))
{
    // The page colour fills the whole screen, also under the scrolling parts.
    fillWithPage(this);

    m_sections->addSection(makeMainColumn(), SectionSwitcher::Edge::Top);
    m_sections->addSection(makeProgressSection(), SectionSwitcher::Edge::Bottom);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_sections);

    connect(m_state, &UploadState::archivosSeleccionadosChanged, this,
            &UploadView::updateUploadButton);
    connect(m_state, &UploadState::serviciosSeleccionadosChanged, this, [this] {
        updatePills();
        updateUploadButton();
        updateCards();
    });
    connect(m_state, &UploadState::authorizedServicesChanged, this, &UploadView::updatePills);
    connect(m_state, &UploadState::extraDestinationsChanged, this, &UploadView::showOtherRemotes);
    if (m_setup.destinations)
        connect(m_setup.destinations, &RemoteDestinations::changed, m_state, [this] {
            m_state->setExtraDestinations(m_setup.destinations->extraDestinations());
        });
    if (m_setup.backends)
        connect(m_setup.backends, &RcloneBackends::changed, this,
                &UploadView::updatePillAvailability);
    connect(m_state, &UploadState::progressDictChanged, this, &UploadView::updateCards);
    connect(m_state, &UploadState::transfersChanged, this, &UploadView::updateCards);
    connect(m_state, &UploadState::canceledServicesChanged, this, &UploadView::updateCards);
    connect(m_state, &UploadState::isUploadingChanged, this, &UploadView::showSectionForState);
    connect(m_state, &UploadState::showAuthorizationAlertChanged, this, [this](bool shown) {
        if (shown)
            askAuthorization();
    });
    connect(m_state, &UploadState::alertaActivaChanged, this, [this] {
        if (m_state->alertaActiva() == TipoAlerta::noHayInternet)
            askConnection();
    });
    connect(m_checks, &WebChecks::noConnection, m_state,
            [state = m_state] { state->setAlertaActiva(TipoAlerta::noHayInternet); });
    connect(m_checks, &WebChecks::updateAvailable, this, &UploadView::offerUpdate);

    updatePills();
    updateUploadButton();
    updateCards();
}

UploadView::~UploadView()
{
    // The runs over this state go first: they stop their rclone children while the state they
    // write still exists.
    m_runs->discard(m_state);
}

void UploadView::startUpload()
{
    m_runs->startUpload(m_state);
}

void UploadView::cancelService(const QString &displayName)
{
    m_runs->cancelService(m_state, displayName);
}

QWidget *UploadView::makeMainColumn()
{
    auto *column = new QWidget;
    m_logo = new QLabel(column);
    m_logo->setAccessibleName(kSkyloft);
    showLogo(kLogoSize);
    QLabel *title = textLabel(kSkyloft, systemFont(kTitlePoints, QFont::DemiBold),
                              secondaryLabelColour(), column);

    m_dropZone = new DropZone(m_queuedFiles, column);
    connect(m_dropZone, &DropZone::urlDropped, this, [this](const QUrl &url) { queueUrls({url}); });
    connect(m_dropZone, &DropZone::chooseRequested, this, &UploadView::chooseFiles);
    connect(m_dropZone, &DropZone::clearRequested, m_state, &UploadState::clearArchivos);

    // Made in reading order, which is the order the Tab key follows.
    QWidget *services = makeServicesBlock(column);
    m_uploadButtonRow = new QWidget(column);
    m_uploadButton = new StyledButton(kSubirArchivos, QStringLiteral("arrow.up.circle.fill"),
                                      uploadButtonLook(), m_uploadButtonRow);
    connect(m_uploadButton, &QAbstractButton::clicked, this, &UploadView::startUpload);
    // Files queued and no service chosen: what is missing, where the button will be.
    m_uploadHint = textLabel(kEligeUnServicio, textStyleFont(TextStyle::Body),
                             secondaryLabelColour(), m_uploadButtonRow);
    auto *buttonLayout = new QVBoxLayout(m_uploadButtonRow);
    buttonLayout->setContentsMargins(0, kUploadButtonTopPadding, 0, 0);
    buttonLayout->addWidget(m_uploadButton, 0, Qt::AlignHCenter);
    buttonLayout->addWidget(m_uploadHint, 0, Qt::AlignHCenter);

    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(kDefaultPadding, kDefaultPadding, kDefaultPadding, kDefaultPadding);
    layout->setSpacing(kDefaultSpacing);
    layout->addWidget(m_logo, 0, Qt::AlignHCenter);
    layout->addSpacing(kTitleTopPadding);
    layout->addWidget(title, 0, Qt::AlignHCenter);
    layout->addWidget(m_dropZone, 0, Qt::AlignHCenter);
    layout->addWidget(services);
    layout->addWidget(m_uploadButtonRow);
    layout->addStretch(1);
    return column;
}

QWidget *UploadView::makeServicesBlock(QWidget *parent)
{
    auto *block = new QWidget(parent);
    QLabel *heading =
        textLabel(kServicios, textStyleFont(TextStyle::Headline), labelColour(), block);
    auto *row = new QHBoxLayout;
    row->setContentsMargins(kDefaultPadding, 0, kDefaultPadding, 0);
    row->setSpacing(kPillSpacing);
    row->addStretch(1);
    for (const QString &service : m_state->serviciosOrden()) {
        auto *pill = new ServicePill(service, block);
        // toggled, not clicked: a screen reader's Toggle action checks the button without a click.
        connect(pill, &QAbstractButton::toggled, m_state, [state = m_state, service](bool checked) {
            if (state->serviciosSeleccionados().contains(service) != checked)
                state->toggleService(service);
        });
        row->addWidget(pill);
        m_pills << pill;
    }
    row->addStretch(1);

    // The other remotes: "Otros:" and their pills, scrolling sideways when they do not fit.
    m_otherRow = new QWidget(block);
    QLabel *others =
        textLabel(kOtros, textStyleFont(TextStyle::Headline), labelColour(), m_otherRow);
    auto *scroll = m_otherScroll = new QScrollArea(m_otherRow);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setFocusPolicy(Qt::NoFocus);
    m_otherPills = new QWidget(scroll);
    fillWithPage(m_otherPills);
    auto *pills = new QHBoxLayout(m_otherPills);
    pills->setContentsMargins(0, 0, 0, 0);
    pills->setSpacing(kPillSpacing);
    pills->addStretch(1);
    scroll->setWidget(m_otherPills);
    scroll->horizontalScrollBar()->installEventFilter(this);
    auto *otherLayout = new QHBoxLayout(m_otherRow);
    otherLayout->setContentsMargins(kDefaultPadding, 0, kDefaultPadding, 0);
    otherLayout->setSpacing(kPillSpacing);
    otherLayout->addWidget(others);
    otherLayout->addWidget(scroll, 1);
    m_otherRow->hide();

    m_configProblem = textLabel(QString(), textStyleFont(TextStyle::Footnote), systemRed(), block);
    m_configProblem->setWordWrap(true);
    m_configProblem->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_configProblem->setContentsMargins(kDefaultPadding, 0, kDefaultPadding, 0);
    m_configProblem->hide();

    auto *layout = new QVBoxLayout(block);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(kDefaultSpacing);
    layout->addWidget(heading);
    heading->setContentsMargins(kDefaultPadding, 0, kDefaultPadding, 0);
    layout->addWidget(m_configProblem);
    layout->addLayout(row);
    layout->addWidget(m_otherRow);
    return block;
}

void UploadView::showLogo(int size)
{
    m_logo->setPixmap(imagePixmap(QStringLiteral("logo"), {size, size}, devicePixelRatioF()));
    m_logo->setFixedSize(size, size);
}

void UploadView::showOtherRemotes()
{
    qDeleteAll(m_extraPills);
    m_extraPills.clear();
    auto *pills = static_cast<QHBoxLayout *>(m_otherPills->layout());
    QWidget *previous = m_pills.last();
    for (const Destination &remote : m_state->extraDestinations()) {
        auto *pill = new ServicePill(remote, m_otherPills);
        const QString name = remote.name;
        connect(pill, &QAbstractButton::toggled, m_state, [state = m_state, name](bool checked) {
            if (state->serviciosSeleccionados().contains(name) != checked)
                state->toggleService(name);
        });
        pills->insertWidget(pills->count() - 1, pill);
        // After the services, before the upload button, in the order they are shown.
        setTabOrder(previous, pill);
        previous = pill;
        m_extraPills << pill;
    }
    setTabOrder(previous, m_uploadButton);
    m_otherRow->setVisible(!m_extraPills.isEmpty());
    updatePills();
    updatePillAvailability();
}

QWidget *UploadView::makeProgressSection()
{
    auto *section = new QWidget;
    m_cancelAll = new StyledButton(kCancelarTodo, QString(), cancelAllLook(), section);
    connect(m_cancelAll, &QAbstractButton::clicked, this, [this] { m_runs->cancelAll(m_state); });
    auto *toolbar = new QHBoxLayout;
    toolbar->addStretch(1);
    toolbar->addWidget(m_cancelAll);

    QLabel *title = textLabel(kSubiendoArchivos, textStyleFont(TextStyle::LargeTitle, true),
                              labelColour(), section);

    auto *cards = new QWidget;
    m_cardsLayout = new QVBoxLayout(cards);
    m_cardsLayout->setContentsMargins(0, 0, 0, 0);
    m_cardsLayout->setSpacing(kCardSpacing);
    m_cardsLayout->addStretch(1);
    auto *scroll = new QScrollArea(section);
    scroll->setWidget(cards);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The Tab key goes from card to card; the area scrolls to the one it reaches.
    scroll->setFocusPolicy(Qt::NoFocus);

    auto *layout = new QVBoxLayout(section);
    layout->setContentsMargins(kDefaultPadding, kDefaultPadding, kDefaultPadding, kDefaultPadding);
    layout->setSpacing(kProgressSpacing);
    layout->addLayout(toolbar);
    layout->addWidget(title, 0, Qt::AlignHCenter);
    layout->addWidget(scroll, 1);
    return section;
}

void UploadView::queueCommandLinePaths(const QStringList &paths)
{
    reportRefused(FileIntake::addCommandLinePaths(*m_state, paths));
}

void UploadView::queueUrls(const QList<QUrl> &urls)
{
    for (const QUrl &url : urls)
        FileIntake::queueDroppedUrl(*m_state, url,
                                    [this](const auto &refused) { reportRefused(refused); });
}

void UploadView::uploadScreenAppeared()
{
    m_checks->checkConnectivity();
    // A remote chosen for a service on the configuration tab is no longer another remote.
    if (m_setup.destinations)
        m_setup.destinations->refresh();
    updatePillAvailability();
    const bool scanned = m_state->rescanAuthorizations(m_setup.paths.rcloneConfigPath());
    // A file rclone cannot use (encrypted, broken) is said here, not shown as services to sign in.
    const auto reading = RcloneConfigFile(m_setup.paths.rcloneConfigPath()).read();
    m_configProblem->setText(reading ? reading->problem() : QString());
    m_configProblem->setVisible(!m_configProblem->text().isEmpty());
    if (!scanned)
        return;
    m_checks->checkForUpdate();
}

void UploadView::showEvent(QShowEvent *event)
{
    // The window coming back from the task bar is not the screen appearing.
    if (!event->spontaneous())
        uploadScreenAppeared();
    QWidget::showEvent(event);
}

void UploadView::chooseFiles(ChooserKind kind)
{
    if (!m_setup.chooseFiles)
        return;
    m_setup.chooseFiles(this, kind, [view = QPointer<UploadView>(this)](const QStringList &paths) {
        if (!view)
            return;
        FileIntake::queueDroppedPaths(*view->m_state, paths, [view](const auto &refused) {
            if (view)
                view->reportRefused(refused);
        });
    });
}

void UploadView::reportRefused(const QList<FileIntake::Refused> &refused)
{
    if (refused.isEmpty())
        return;
    QStringList lines;
    for (const FileIntake::Refused &path : refused)
        lines << path.shown + QStringLiteral(": ") + path.reason;
    DialogQuestion question;
    question.icon = QMessageBox::Warning;
    question.text = kNoSePuedenSubir;
    question.informativeText = lines.join(QLatin1Char('\n'));
    question.buttons = {{QStringLiteral("Vale"), DialogButton::Role::Default}};
    Dialogs::ask(this, question, this, [](int) {});
}

void UploadView::showSectionForState()
{
    m_sections->setCurrentIndex(m_state->isUploading() ? 1 : 0);
}

void UploadView::updatePills()
{
    for (ServicePill *pill : servicePills()) {
        pill->setChecked(m_state->serviciosSeleccionados().contains(pill->displayName()));
        pill->setAuthorized(m_state->isAuthorized(pill->displayName()));
    }
    fitOtherRow();
}

// A pill grows with its badge, and the sideways scroll bar takes its height from the row: without
// room for both, pills are cut and a focused one cannot be scrolled to whole.
void UploadView::fitOtherRow()
{
    int height = 0;
    for (ServicePill *pill : servicePills())
        height = std::max(height, pill->sizeHint().height());
    const QScrollBar *bar = m_otherScroll->horizontalScrollBar();
    const int barHeight = bar->isVisible() ? bar->sizeHint().height() : 0;
    m_otherScroll->setFixedHeight(height + barHeight);
    // The window keeps its size: the logo gives up the bar's height.
    const int logo = m_extraPills.isEmpty() ? kLogoSize : kCompactLogoSize - barHeight;
    if (m_logo->width() != logo)
        showLogo(logo);
}

bool UploadView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_otherScroll->horizontalScrollBar() &&
        (event->type() == QEvent::Show || event->type() == QEvent::Hide))
        fitOtherRow();
    return QWidget::eventFilter(watched, event);
}

void UploadView::updatePillAvailability()
{
    if (!m_setup.backends)
        return;
    const auto reading = RcloneConfigFile(m_setup.paths.rcloneConfigPath()).read();
    for (ServicePill *pill : servicePills()) {
        const QString remote =
            reading ? resolveDestinations({pill->displayName()}, *reading).first().remote
                    : remoteNameFor(pill->displayName());
        const RcloneRemote *section = reading ? reading->find(remote) : nullptr;
        pill->setUnavailableReason(
            m_setup.backends->unavailableReason(section ? section->type() : QString()));
    }
}

void UploadView::updateUploadButton()
{
    const bool files = !m_state->archivosSeleccionados().isEmpty();
    const bool services = !m_state->serviciosSeleccionados().isEmpty();
    // A hidden button keeps no claim on the focus: coming back to the tab must not land on it.
    if (!(files && services))
        m_uploadButton->clearFocus();
    m_uploadButton->setVisible(files && services);
    m_uploadHint->setVisible(files && !services);
    m_uploadButtonRow->setVisible(files);
}

// One card per selected destination, in their order, each showing its progress entry.
void UploadView::updateCards()
{
    QStringList wanted;
    for (const QString &service : m_state->destinationOrder()) {
        if (m_state->serviciosSeleccionados().contains(service))
            wanted << service;
    }
    QStringList shown;
    for (const ProgressCard *card : std::as_const(m_cards))
        shown << card->displayName();
    if (shown != wanted) {
        QList<ProgressCard *> cards;
        for (const QString &service : wanted) {
            const qsizetype existing = shown.indexOf(service);
            ProgressCard *card = existing >= 0 ? m_cards.at(existing) : nullptr;
            if (!card) {
                card = new ProgressCard(service);
                connect(card, &ProgressCard::cancelRequested, this, &UploadView::cancelService);
            }
            cards << card;
        }
        for (ProgressCard *card : std::as_const(m_cards)) {
            m_cardsLayout->removeWidget(card);
            if (!cards.contains(card)) {
                card->hide();
                card->deleteLater();
            }
        }
        // Before the stretch: the cards sit at the top of their scroll area.
        // Tab follows the cards as they stand, not the order they were made in.
        QWidget *previous = m_cancelAll;
        for (int i = 0; i < cards.size(); ++i) {
            m_cardsLayout->insertWidget(i, cards.at(i));
            QWidget::setTabOrder(previous, cards.at(i)->cancelButton());
            previous = cards.at(i)->cancelButton();
        }
        m_cards = cards;
    }
    for (ProgressCard *card : std::as_const(m_cards)) {
        const auto it = m_state->progressDict().constFind(card->displayName());
        card->setProgress(it != m_state->progressDict().cend() ? &*it : nullptr);
        const auto transfer = m_state->transfers().constFind(card->displayName());
        card->setTransfer(transfer != m_state->transfers().cend() ? &*transfer : nullptr);
        card->setCancelled(m_state->canceledServices().contains(card->displayName()));
    }
}

void UploadView::askAuthorization()
{
    Dialogs::ask(this,
                 question(kServicioNoAutorizado, kTieneQueAutorizar,
                          {{kIrAConfiguracion, DialogButton::Role::Plain},
                           {kCancelar, DialogButton::Role::Cancel}}),
                 m_state,
                 [state = m_state](int answer) { state->answerAuthorizationAlert(answer == 0); });
}

void UploadView::askConnection()
{
    Dialogs::ask(
        this,
        question(kSinConexion, kSiNoTeConectas, {{kValeLoIntento, DialogButton::Role::Default}}),
        m_state, [state = m_state](int) { state->setAlertaActiva(std::nullopt); });
}

void UploadView::offerUpdate()
{
    Dialogs::ask(this,
                 question(kActualizacionDisponible, kHayUnaNuevaVersion,
                          {{kDescargar, DialogButton::Role::Default},
                           {kCancelar, DialogButton::Role::Cancel}}),
                 this, [this](int answer) {
                     const QUrl page = m_checks->downloadUrl();
                     if (answer == 0 && page.isValid() && m_setup.openUrl)
                         m_setup.openUrl(page);
                 });
}

} // namespace skyloft
