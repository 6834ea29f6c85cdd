// SPDX-License-Identifier: MIT
#include "cli/CommandLine.h"
#include "core/BlockingWork.h"
#include "core/Log.h"
#include "core/QuitOnSignals.h"
#include "core/RcloneRunner.h"
#include "shell/AppDelegate.h"
#include "shell/ApplicationService.h"
#include "shell/MainWindow.h"
#include "shell/RcloneCheck.h"
#include "shell/Translations.h"
#include "ui/Images.h"
#include "ui/SystemStyle.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("Skyloft"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SKYLOFT_VERSION));

    // Help, version and the headless upload need no display.
    if (!skyloft::needsWindow(argc, argv)) {
        QCoreApplication app(argc, argv);
        return skyloft::runWithoutWindow(skyloft::parseCommandLine(app.arguments()));
    }

    QApplication app(argc, argv);
    const skyloft::CommandLineRequest request = skyloft::parseCommandLine(app.arguments());
    // One window per session: a later launch hands its files to the window that is open.
    skyloft::ApplicationService service;
    if (service.claim() == skyloft::ApplicationService::Claim::Taken) {
        QString problem;
        if (skyloft::ApplicationService::handOff(QDBusConnection::sessionBus(), request.paths,
                                                 &problem))
            return 0;
        skyloft::writeText(stderr, problem + QLatin1Char('\n'));
        // It may have just quit and let the name go.
        service.claim();
    }
    skyloft::applyAppearance(app);
    // Lets the desktop match the window with its installed entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("app.skyloft.Skyloft"));
    skyloft::QuitOnSignals quitOnSignals;
    QApplication::setWindowIcon(skyloft::imageIcon(QStringLiteral("logo")));
    skyloft::installTranslations(app);
    // A sign-in waiting for a browser must not hold the exit; the workers then come back soon.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &app, [] {
        skyloft::endBlockingRunsForQuit();
        skyloft::BlockingWork::waitForDone();
    });

    skyloft::MainWindow window;
    window.queueFiles(request.paths);
    QObject::connect(&service, &skyloft::ApplicationService::openRequested, &window,
                     &skyloft::MainWindow::openUrls);
    window.show();
    skyloft::warnIfRcloneMissing(&window, skyloft::RclonePaths::process());
    skyloft::AppDelegate delegate;
    delegate.applicationDidFinishLaunching({&window});
    return app.exec();
}
