// SPDX-License-Identifier: MIT
#include "shell/AppDelegate.h"

#include "core/Log.h"
#include "core/Notifier.h"
#include "core/Settings.h"
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

    if (UploadRuns *runs = uploadRunsOf(window))
        runs->setEngine(engineFor(Settings().subidaRapida()));

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
    Dialogs::ask(m_window, about, this, [](int) {});
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
