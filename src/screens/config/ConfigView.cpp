// SPDX-License-Identifier: MIT
#include "screens/config/ConfigView.h"

#include "auth/ConfigState.h"
#include "core/RcloneBackends.h"
#include "core/ServiceCatalog.h"
#include "screens/config/AuthorizeButton.h"
#include "screens/config/CredentialField.h"
#include "screens/config/RemoteChooser.h"
#include "screens/config/ServiceTile.h"
#include "screens/config/SignInPanel.h"
#include "ui/Spring.h"
#include "ui/StyledButton.h"
#include "ui/SystemStyle.h"
#include "ui/Toast.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QShowEvent>
#include <QVBoxLayout>

namespace skyloft {

namespace {

const QString kTitle = QStringLiteral("Autorización de servicios");
const QString kArchivoDeConfiguracion = QStringLiteral("Archivo de configuración:");
const QString kAutorizar = QStringLiteral("Autorizar ");
const QString kServicioConfigurado = QStringLiteral("✅ Servicio configurado correctamente");

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
             QList<QWidget *>{m_remoteChooser->comboBox()} +
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
    connect(m_state, &ConfigState::configProblemChanged, this, &ConfigView::showStatus);
    connect(m_state, &ConfigState::serviceRemotesChanged, this, &ConfigView::showRemotes);
    connect(m_remoteChooser, &RemoteChooser::chosen, m_state, [this](const QString &remote) {
        m_state->chooseRemote(m_state->selectedService(), remote);
    });
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

    m_remoteChooser = new RemoteChooser(area);
    m_remoteChooser->hide();
    for (const ServiceEntry &entry : ServiceCatalog::entries()) {
        if (entry.listed && !entry.credentials.isEmpty())
            m_forms.insert(entry.displayName, makeForm(entry, area));
    }

    m_authorize = new AuthorizeButton(area);
    // The button stays enabled: a press while another authorization runs starts a new one.
    connect(m_authorize, &AuthorizeButton::clicked, m_state, &ConfigState::startAuthorization);
    // Return moves on to the next field; only the form's last field authorizes, as an
    // authorization ends rclone processes and must not start by surprise.
    for (qsizetype i = 0; i < m_fields.size(); ++i) {
        CredentialField *field = m_fields[i];
        CredentialField *next = i + 1 < m_fields.size() ? m_fields[i + 1] : nullptr;
        if (next && next->parent() == field->parent())
            connect(field, &CredentialField::returnPressed, next,
                    [next] { next->setFocus(Qt::TabFocusReason); });
        else
            connect(field, &CredentialField::returnPressed, m_authorize,
                    &AuthorizeButton::animateClick);
    }

    const int buttonInset = kDefaultPadding - AuthorizeButton::kShadowMargin;
    auto *layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_remoteChooser);
    layout->addSpacing(kFieldSpacing);
    for (QWidget *form : std::as_const(m_forms))
        layout->addWidget(form);
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
    int tallestForm = 0;
    for (QWidget *form : std::as_const(m_forms))
        tallestForm = qMax(tallestForm, form->sizeHint().height());
    const int tallest = tallestForm + kFieldSpacing + m_authorize->sizeHint().height() -
                        AuthorizeButton::kShadowMargin;
    area->setMinimumHeight(qMax(kAuthorizeAreaHeight, tallest));
    return area;
}

QWidget *ConfigView::makeForm(const ServiceEntry &entry, QWidget *parent)
{
    QList<CredentialField *> fields;
    for (qsizetype i = 0; i < entry.credentials.size(); ++i) {
        const CredentialInput &input = entry.credentials[i];
        auto *field = new CredentialField(input.placeholder, input.secret ? CredentialField::Secret
                                                                          : CredentialField::Plain);
        const QString service = entry.displayName;
        const int index = int(i);
        connect(field, &CredentialField::textChanged, m_state,
                [state = m_state, service, index](const QString &text) {
                    state->setCredential(service, index, text);
                });
        connect(m_state, &ConfigState::credentialChanged, field,
                [field, service, index](const QString &changed, int at, const QString &text) {
                    if (changed == service && at == index && field->text() != text)
                        field->setText(text);
                });
        fields << field;
    }
    m_fields += fields;
    return form(fields, parent);
}

void ConfigView::showSelection(const QString &selectedService)
{
    for (ServiceTile *tile : std::as_const(m_tiles))
        tile->setSelected(tile->displayName() == selectedService);
    // A service the installed rclone cannot authorize shows only why, under its tile.
    const bool available = m_state->unavailableReason(selectedService).isEmpty();
    for (auto it = m_forms.cbegin(); it != m_forms.cend(); ++it)
        it.value()->setVisible(available && it.key() == selectedService);
    showRemotes();
    m_authorize->setText(kAutorizar + selectedService);
    m_authorize->setVisible(available);
    showStatus();
}

void ConfigView::showAvailability()
{
    for (ServiceTile *tile : std::as_const(m_tiles))
        tile->setUnavailableReason(m_state->unavailableReason(tile->displayName()));
    showSelection(m_state->selectedService());
}

void ConfigView::showRemotes()
{
    const ServiceRemote service = m_state->serviceRemote(m_state->selectedService());
    m_remoteChooser->showRemotes(service);
    m_remoteChooser->setVisible(service.candidates.size() > 1);
    for (ServiceTile *tile : std::as_const(m_tiles))
        tile->setRemote(m_state->serviceRemote(tile->displayName()));
}

void ConfigView::showStatus()
{
    // A configuration rclone cannot use says so before anything else: every tile depends on it.
    const QString problem = m_state->configProblem();
    const QString failure = problem.isEmpty() ? m_state->failure() : problem;
    const QString reason = m_state->unavailableReason(m_state->selectedService());
    m_status->setText(failure.isEmpty() ? reason : failure);
    setTextColour(m_status, failure.isEmpty() ? secondaryLabelColour() : systemRed());
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
