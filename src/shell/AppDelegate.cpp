// SPDX-License-Identifier: MIT
#include "shell/AppDelegate.h"

#include "core/Log.h"
#include "core/Notifier.h"
#include "core/Settings.h"
#include "core/TransferLimits.h"
#include "shell/ContentView.h"
#include "shell/MainView.h"
#include "shell/MainWindow.h"
#include "shell/Translations.h"
#include "shell/TrayIcon.h"
#include "ui/Dialogs.h"
#include "ui/Images.h"
#include "upload/UploadRuns.h"

#include <QApplication>
#include <QDesktopServices>
#include <QInputDialog>
#include <QMainWindow>
#include <QMenuBar>
#include <QTimer>
#include <QUrl>

#include <optional>

namespace skyloft {

namespace {

const QString kMenuTitle = QStringLiteral("Skyloft");
const QString kHistorial = QStringLiteral("Historial…");
const QString kAgradecimientos = QStringLiteral("Agradecimientos a Rclone");
const QString kGraciasRclone = QStringLiteral("¡Gracias, Rclone!");
const QString kGraciasDetalle = QStringLiteral("Esta app usa Rclone para la magia detrás del "
                                               "telón. Puedes visitar su repositorio oficial:");
const QString kAbrirRepositorio = QStringLiteral("Abrir Repositorio");
const QString kCerrar = QStringLiteral("Cerrar");
const QString kAceptar = QStringLiteral("Aceptar");
const QString kSubidaRapida = QStringLiteral("Subida rápida");
const QString kLimitarVelocidad = QStringLiteral("Limitar velocidad…");
const QString kCaducidadEnlaces = QStringLiteral("Caducidad de enlaces…");
const QString kCancelar = QStringLiteral("Cancelar");
const QString kIconoEnLaBandeja = QStringLiteral("Icono en la bandeja");
const QString kSinBandeja = QStringLiteral("Este escritorio no tiene bandeja del sistema.");

UploadRuns *uploadRunsOf(QMainWindow *window)
{
    auto *mainWindow = qobject_cast<MainWindow *>(window);
    return mainWindow ? mainWindow->contentView()->mainView()->uploadRuns() : nullptr;
}

UploadRun::Engine engineFor(bool subidaRapida)
{
    return subidaRapida ? UploadRun::Engine::Daemon : UploadRun::Engine::Processes;
}

constexpr int kAboutIconSize = 64;

// A web address as the browser takes it, or nothing when the text does not parse.
std::optional<QUrl> webAddress(const QString &text)
{
    const QUrl url(text, QUrl::StrictMode);
    if (url.isEmpty() || !url.isValid())
        return std::nullopt;
    return url;
}

} // namespace

AppDelegate::AppDelegate(QObject *parent)
    : AppDelegate(QStringLiteral(SKYLOFT_HELP_URL), QStringLiteral(SKYLOFT_RCLONE_REPO_URL),
                  &QDesktopServices::openUrl, parent)
{}

AppDelegate::AppDelegate(QString helpUrl, QString rcloneRepositoryUrl, UrlOpener openUrl,
                         QObject *parent)
    : QObject(parent), m_helpUrl(std::move(helpUrl)),
      m_rcloneRepositoryUrl(std::move(rcloneRepositoryUrl)), m_openUrl(std::move(openUrl))
{}

void AppDelegate::applicationDidFinishLaunching(const QList<QMainWindow *> &windows)
{
    if (windows.isEmpty())
        return;
    QMainWindow *window = windows.first();
    m_window = window;
    if (auto *mainWindow = qobject_cast<MainWindow *>(window))
        mainWindow->fixContentSize(700, 520);
    else
        window->setFixedSize(700, 520);

    if (UploadRuns *runs = uploadRunsOf(window)) {
        const Settings settings;
        runs->setEngine(engineFor(settings.subidaRapida()));
        runs->setBandwidthLimit(settings.limiteVelocidad());
        runs->setLinkExpiry(settings.caducidadEnlaces());
    }

    window->setMenuBar(new QMenuBar(window));
    QTimer::singleShot(kMenuDelayMs, this, [this] {
        if (m_window)
            buildMenu(m_window);
    });
}

void AppDelegate::buildMenu(QMainWindow *window)
{
    auto *menuBar = new QMenuBar(window);
    window->setMenuBar(menuBar);
    QMenu *menu = menuBar->addMenu(kMenuTitle);
    const auto addItem = [menu](const QString &title, const QKeySequence &shortcut = {}) {
        QAction *item = menu->addAction(title);
        item->setShortcut(shortcut);
        // Reachable from every tab, whichever widget has the focus.
        item->setShortcutContext(Qt::ApplicationShortcut);
        // Keeps every entry where it is, also where the platform would move About or Quit.
        item->setMenuRole(QAction::NoRole);
        return item;
    };
    connect(addItem(localized("menu_about")), &QAction::triggered, this,
            &AppDelegate::mostrarAcercaDe);
    menu->addSeparator();
    connect(addItem(localized("menu_settings"), QKeySequence(Qt::CTRL | Qt::Key_Comma)),
            &QAction::triggered, this, &AppDelegate::irAConfiguracion);
    connect(addItem(kHistorial, QKeySequence(Qt::CTRL | Qt::Key_H)), &QAction::triggered, this,
            &AppDelegate::mostrarHistorial);
    QAction *rapida = addItem(kSubidaRapida);
    rapida->setCheckable(true);
    rapida->setChecked(Settings().subidaRapida());
    connect(rapida, &QAction::toggled, this, [this](bool on) {
        Settings().setSubidaRapida(on);
        if (UploadRuns *runs = uploadRunsOf(m_window))
            runs->setEngine(engineFor(on));
    });
    connect(addItem(kLimitarVelocidad), &QAction::triggered, this, &AppDelegate::limitarVelocidad);
    connect(addItem(kCaducidadEnlaces), &QAction::triggered, this,
            &AppDelegate::elegirCaducidadEnlaces);
    QAction *tray = addItem(kIconoEnLaBandeja);
    tray->setCheckable(true);
    tray->setChecked(Settings().iconoEnLaBandeja());
    // Only where there is a tray to show it in; elsewhere the entry says why it is off.
    if (!TrayIcon::isAvailable()) {
        tray->setEnabled(false);
        tray->setStatusTip(kSinBandeja);
        tray->setToolTip(kSinBandeja);
    }
    connect(tray, &QAction::toggled, this, [this](bool on) {
        Settings().setIconoEnLaBandeja(on);
        if (auto *mainWindow = qobject_cast<MainWindow *>(m_window))
            mainWindow->trayIcon()->setWanted(on);
    });
    menu->addSeparator();
    connect(addItem(localized("menu_help"), QKeySequence(Qt::CTRL | Qt::Key_Question)),
            &QAction::triggered, this, &AppDelegate::mostrarAyudaEnLinea);
    menu->addSeparator();
    connect(addItem(kAgradecimientos), &QAction::triggered, this,
            &AppDelegate::mostrarAgradecimientosRclone);
    menu->addSeparator();
    connect(addItem(localized("menu_quit"), QKeySequence(Qt::CTRL | Qt::Key_Q)),
            &QAction::triggered, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    logLine(QStringLiteral("✅ Menú personalizado creado correctamente."));
}

void AppDelegate::mostrarAcercaDe()
{
    DialogQuestion about;
    about.title = localized("menu_about");
    about.iconPixmap =
        imagePixmap(QStringLiteral("logo"), {kAboutIconSize, kAboutIconSize},
                    m_window ? m_window->devicePixelRatioF() : qApp->devicePixelRatio());
    about.text = kMenuTitle;
    about.informativeText = QStringLiteral("Versión " SKYLOFT_VERSION);
    about.buttons = {{kAceptar, DialogButton::Role::Default}};
    about.alert = false;
    Dialogs::ask(m_window, about, this, [](int) {});
}

void AppDelegate::askSetting(const SettingQuestion &question)
{
    // Window-modal and answered through signals, like every other question of the application.
    auto *dialog = new QInputDialog(m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setWindowTitle(question.title);
    dialog->setLabelText(question.label);
    dialog->setComboBoxItems(question.choices);
    dialog->setComboBoxEditable(true);
    dialog->setTextValue(question.current);
    dialog->setOkButtonText(kAceptar);
    dialog->setCancelButtonText(kCancelar);
    connect(dialog, &QInputDialog::textValueSelected, this, [this, question](const QString &text) {
        if (const std::optional<QString> value = question.read(text)) {
            question.keep(*value);
            return;
        }
        DialogQuestion wrong;
        wrong.icon = QMessageBox::Warning;
        wrong.text = question.invalid.arg(text);
        wrong.buttons = {{kAceptar, DialogButton::Role::Default}};
        Dialogs::ask(m_window, wrong, this, [](int) {});
    });
    dialog->open();
}

void AppDelegate::limitarVelocidad()
{
    askSetting(
        {kLimitarVelocidad.chopped(1),
         QStringLiteral("Velocidad máxima de subida (también durante una subida):"),
         bandwidthLimitChoices(), bandwidthLimitLabel(Settings().limiteVelocidad()),
         QStringLiteral("«%1» no es una velocidad. Escribe, por ejemplo, 2 MB/s o 500 KB/s."),
         bandwidthLimitFromText, [this](const QString &rate) {
             Settings().setLimiteVelocidad(rate);
             if (UploadRuns *runs = uploadRunsOf(m_window))
                 runs->setBandwidthLimit(rate);
             logLine(QStringLiteral("Límite de velocidad: ") + bandwidthLimitLabel(rate));
         }});
}

void AppDelegate::elegirCaducidadEnlaces()
{
    askSetting({kCaducidadEnlaces.chopped(1),
                QStringLiteral("Los enlaces nuevos caducan tras (donde el servicio lo admite):"),
                linkExpiryChoices(), linkExpiryLabel(Settings().caducidadEnlaces()),
                QStringLiteral("«%1» no es una duración. Escribe, por ejemplo, 7 días o 12 horas."),
                linkExpiryFromText, [this](const QString &expiry) {
                    Settings().setCaducidadEnlaces(expiry);
                    if (UploadRuns *runs = uploadRunsOf(m_window))
                        runs->setLinkExpiry(expiry);
                }});
}

void AppDelegate::irAConfiguracion()
{
    Notifier::instance().post(QString::fromLatin1(kIrAConfiguracion));
}

void AppDelegate::mostrarHistorial()
{
    if (auto *window = qobject_cast<MainWindow *>(m_window.data()))
        window->showHistory();
}

void AppDelegate::mostrarAyudaEnLinea()
{
    const std::optional<QUrl> url = webAddress(m_helpUrl);
    if (!url) {
        logLine(QStringLiteral("❌ URL inválida"));
        return;
    }
    m_openUrl(*url);
    logLine(QStringLiteral("🧭 Ayuda abierta en el navegador"));
}

void AppDelegate::mostrarAgradecimientosRclone()
{
    DialogQuestion thanks;
    thanks.icon = QMessageBox::Information;
    thanks.text = kGraciasRclone;
    thanks.informativeText = kGraciasDetalle;
    thanks.buttons = {{kAbrirRepositorio, DialogButton::Role::Default},
                      {kCerrar, DialogButton::Role::Cancel}};
    Dialogs::ask(m_window, thanks, this, [this](int answer) {
        if (answer != 0)
            return;
        if (const std::optional<QUrl> url = webAddress(m_rcloneRepositoryUrl))
            m_openUrl(*url);
    });
}

} // namespace skyloft
