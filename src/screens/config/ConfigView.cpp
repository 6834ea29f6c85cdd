// SPDX-License-Identifier: MIT
#include "screens/config/ConfigView.h"

#include "auth/ConfigState.h"
#include "core/RcloneBackends.h"
#include "screens/config/AuthorizeButton.h"
#include "screens/config/CredentialField.h"
#include "screens/config/ServiceTile.h"
#include "screens/config/SignInPanel.h"
#include "ui/Spring.h"
#include "ui/StyledButton.h"
#include "ui/SystemStyle.h"
#include "ui/Toast.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QShowEvent>
#include <QVBoxLayout>

namespace skyloft {

namespace {

const QString kTitle = QStringLiteral("Autorización de servicios");
const QString kArchivoDeConfiguracion = QStringLiteral("Archivo de configuración:");
const QString kUsuarioDeMega = QStringLiteral("Usuario de Mega");
const QString kContrasenaDeMega = QStringLiteral("Contraseña de Mega");
const QString kApiKeyDe1Fichier = QStringLiteral("API Key de 1Fichier");
const QString kAutorizar = QStringLiteral("Autorizar ");
const QString kServicioConfigurado = QStringLiteral("✅ Servicio configurado correctamente");
const QString kNoDisponible = QStringLiteral(" no está disponible con este rclone");

constexpr int kSpacing = 20;
constexpr int kTitleTopSpace = 50;
constexpr int kTileSpacing = 30;
constexpr int kTileRowHeight = 100;
constexpr int kFieldSpacing = 12;
constexpr int kAuthorizeAreaHeight = 160;
// The toast shows in the free band above the title, where it covers no control.
constexpr int kToastTopMargin = 1;

QLabel *label(const QString &text, const QFont &font, const QColor &colour, QWidget *parent)
{
    QLabel *label = textLabel(text, font, colour, parent);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

// A column of fields, each inset by the default margin at left and right.
QWidget *form(const QList<CredentialField *> &fields, QWidget *parent)
{
    auto *form = new QWidget(parent);
    auto *layout = new QVBoxLayout(form);
    layout->setContentsMargins(kDefaultPadding, 0, kDefaultPadding, 0);
    layout->setSpacing(kFieldSpacing);
    for (CredentialField *field : fields) {
        field->setParent(form);
        layout->addWidget(field);
    }
    form->hide();
    return form;
}

} // namespace

ConfigView::ConfigView(AuthorizationSetup setup, QWidget *parent, UrlOpener openUrl,
                       RcloneBackends *backends)
    : QWidget(parent), m_state(new ConfigState(std::move(setup), this)),
      m_signInPanel(
          new SignInPanel(openUrl ? std::move(openUrl) : &QDesktopServices::openUrl, this)),
      m_status(textLabel(QString(), textStyleFont(TextStyle::Footnote), systemRed(), this)),
      m_toast(new Toast(kServicioConfigurado, Toast::Edge::Top, kToastTopMargin, this))
{
    fillWithPage(this);

    auto *path = label(m_state->setup().paths.rcloneConfigPath(), textStyleFont(TextStyle::Caption),
                       labelColour(), this);
    path->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A long path is cut rather than widening the fixed window.
    path->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    path->setToolTip(path->text());

    // The tiles stand out of their row by their margin; the spacing around the row makes up
    // for it, so the gaps look as wide as the others. The title's space above counts from the
    // tab bar: with the margin on top as well, the Mega form would not fit the window.
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(kDefaultPadding, 0, kDefaultPadding, kDefaultPadding);
    column->setSpacing(0);
    column->addSpacing(kTitleTopSpace);
    column->addWidget(label(kTitle, systemFont(32, QFont::DemiBold), secondaryLabelColour(), this));
    column->addSpacing(kSpacing);
    column->addWidget(
        label(kArchivoDeConfiguracion, textStyleFont(TextStyle::Headline), labelColour(), this));
    column->addSpacing(kSpacing - ServiceTile::kMargin);
    column->addWidget(makeTileRow());
    column->addSpacing(kSpacing - ServiceTile::kMargin);
    column->addWidget(path);
    column->addSpacing(kSpacing);
    column->addWidget(makeAuthorizeArea(), 1);
    m_status->setAlignment(Qt::AlignCenter);
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_status->hide();

    // Tiles, then the fields, then the button, then the sign-in panel.
    QWidget *const panelButtons[] = {m_signInPanel->openButton(), m_signInPanel->copyButton(),
                                     m_signInPanel->cancelButton()};
    QWidget *previous = nullptr;
    for (QWidget *next :
         QList<QWidget *>(m_tiles.begin(), m_tiles.end()) +
             QList<QWidget *>(m_fields.begin(), m_fields.end()) +
             QList<QWidget *>{m_authorize, panelButtons[0], panelButtons[1], panelButtons[2]}) {
        if (previous)
            setTabOrder(previous, next);
        previous = next;
    }

    const SpringMotion toastMotion = bouncySpring();
    m_toast->setMotion(toastMotion.durationMs, toastMotion.curve);
    connect(m_state, &ConfigState::showToastChanged, m_toast, &Toast::setShown);
    connect(m_state, &ConfigState::selectedServiceChanged, this, &ConfigView::showSelection);
    connect(m_state, &ConfigState::authorizedServicesChanged, this,
            &ConfigView::showAuthorizations);
    connect(m_state, &ConfigState::backendsChanged, this, &ConfigView::showAvailability);
    connect(m_state, &ConfigState::failureChanged, this, &ConfigView::showStatus);
    connect(m_state, &ConfigState::signInAddressChanged, m_signInPanel, &SignInPanel::setAddress);
    connect(m_signInPanel, &SignInPanel::cancelRequested, m_state, &ConfigState::cancelSignIn);
    m_state->setBackends(backends);
    showSelection(m_state->selectedService());
    showAuthorizations();
}

QWidget *ConfigView::makeTileRow()
{
    auto *row = new QWidget(this);
    row->setFixedHeight(kTileRowHeight + 2 * ServiceTile::kMargin);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(kTileSpacing - 2 * ServiceTile::kMargin);
    layout->addStretch(1);
    for (const QString &service : m_state->services()) {
        auto *tile = new ServiceTile(service, row);
        connect(tile, &ServiceTile::clicked, m_state,
                [state = m_state, service] { state->setSelectedService(service); });
        layout->addWidget(tile, 0, Qt::AlignVCenter);
        m_tiles << tile;
    }
    layout->addStretch(1);
    return row;
}

QWidget *ConfigView::makeAuthorizeArea()
{
    auto *area = new QWidget(this);

    auto *megaEmail = new CredentialField(kUsuarioDeMega, CredentialField::Plain);
    auto *megaPassword = new CredentialField(kContrasenaDeMega, CredentialField::Secret);
    auto *fichierAPI = new CredentialField(kApiKeyDe1Fichier, CredentialField::Plain);
    m_fields = {megaEmail, megaPassword, fichierAPI};
    bindField(megaEmail, &ConfigState::megaEmailChanged, &ConfigState::setMegaEmail);
    bindField(megaPassword, &ConfigState::megaPasswordChanged, &ConfigState::setMegaPassword);
    bindField(fichierAPI, &ConfigState::fichierAPIChanged, &ConfigState::setFichierAPI);
    m_megaForm = form({megaEmail, megaPassword}, area);
    m_fichierForm = form({fichierAPI}, area);

    m_authorize = new AuthorizeButton(area);
    // The button stays enabled: a press while another authorization runs starts a new one.
    connect(m_authorize, &AuthorizeButton::clicked, m_state, &ConfigState::startAuthorization);
    // Return moves on to the next field; only the form's last field authorizes, as an
    // authorization ends rclone processes and must not start by surprise.
    connect(megaEmail, &CredentialField::returnPressed, megaPassword,
            [megaPassword] { megaPassword->setFocus(Qt::TabFocusReason); });
    for (CredentialField *last : {megaPassword, fichierAPI})
        connect(last, &CredentialField::returnPressed, m_authorize, &AuthorizeButton::animateClick);

    const int buttonInset = kDefaultPadding - AuthorizeButton::kShadowMargin;
    auto *layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_megaForm);
    layout->addWidget(m_fichierForm);
    layout->addStretch(1);
    auto *buttonRow = new QHBoxLayout;
    buttonRow->setContentsMargins(buttonInset, 0, buttonInset, 0);
    buttonRow->addWidget(m_authorize);
    layout->addLayout(buttonRow);
    // Under the button, what became of the last press. The window has no room to spare below
    // the area, so they take the empty space above the button: sign-in services have no form.
    layout->addWidget(m_status);
    layout->addWidget(m_signInPanel);
    // Room for the tallest form above the button, so that the button stays in place whatever
    // the selection.
    const int tallest = m_megaForm->sizeHint().height() + kFieldSpacing +
                        m_authorize->sizeHint().height() - AuthorizeButton::kShadowMargin;
    area->setMinimumHeight(qMax(kAuthorizeAreaHeight, tallest));
    return area;
}

void ConfigView::bindField(CredentialField *field, void (ConfigState::*changed)(const QString &),
                           void (ConfigState::*set)(const QString &))
{
    connect(field, &CredentialField::textChanged, m_state, set);
    connect(m_state, changed, field, [field](const QString &text) {
        if (field->text() != text)
            field->setText(text);
    });
}

void ConfigView::showSelection(const QString &selectedService)
{
    for (ServiceTile *tile : std::as_const(m_tiles))
        tile->setSelected(tile->displayName() == selectedService);
    m_megaForm->setVisible(selectedService == QLatin1String("Mega"));
    m_fichierForm->setVisible(selectedService == QLatin1String("1Fichier"));
    const bool available = m_state->unavailableReason(selectedService).isEmpty();
    m_authorize->setText(available ? kAutorizar + selectedService
                                   : selectedService + kNoDisponible);
    m_authorize->setEnabled(available);
    showStatus();
}

void ConfigView::showAvailability()
{
    for (ServiceTile *tile : std::as_const(m_tiles))
        tile->setUnavailableReason(m_state->unavailableReason(tile->displayName()));
    showSelection(m_state->selectedService());
}

void ConfigView::showStatus()
{
    const QString failure = m_state->failure();
    const QString reason = m_state->unavailableReason(m_state->selectedService());
    m_status->setText(failure.isEmpty() ? reason : failure);
    setTextColour(m_status, failure.isEmpty() ? darkGray() : systemRed());
    m_status->setVisible(!m_status->text().isEmpty());
}

void ConfigView::showAuthorizations()
{
    const QSet<QString> authorized = m_state->authorizedServices();
    for (ServiceTile *tile : std::as_const(m_tiles))
        tile->setAuthorized(authorized.contains(tile->displayName().toLower()));
}

void ConfigView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Coming back to the tab, not the window coming back from being minimised.
    if (!event->spontaneous())
        m_state->refreshAuthorizations();
}

} // namespace skyloft
