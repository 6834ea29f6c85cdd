// SPDX-License-Identifier: MIT
#include "OpenDialog.h"
#include "RunSkyloft.h"
#include "cli/CommandLine.h"
#include "core/Notifier.h"
#include "core/QuitOnSignals.h"
#include "shell/AppDelegate.h"
#include "shell/ContentView.h"
#include "shell/MainView.h"
#include "shell/MainWindow.h"
#include "shell/RcloneCheck.h"
#include "shell/TabSelection.h"
#include "shell/Translations.h"
#include "upload/GeneratedLinks.h"

#include <QApplication>
#include <QDir>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTimer>

#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

using namespace skyloft;

class TestShell : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { installTranslations(*QCoreApplication::instance()); }

    void windowStartsOnUploadTabAtFixedSize()
    {
        MainWindow window;
        window.show();
        AppDelegate delegate;
        delegate.applicationDidFinishLaunching({&window});
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        MainView *tabs = window.contentView()->mainView();
        QCOMPARE(tabs->count(), 3);
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(window.contentView()->selectedTab()->selectedTab(), 0);
        QCOMPARE(tabs->tabText(0), QStringLiteral("Subir"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("Enlaces"));
        QCOMPARE(tabs->tabText(2), QStringLiteral("Configuración"));
        for (int i = 0; i < 3; ++i)
            QVERIFY2(!tabs->tabIcon(i).isNull(), qPrintable(QString::number(i)));
        QVERIFY(tabs->generatedLinks()->links().isEmpty());

        QCOMPARE(window.contentView()->size(), QSize(700, 520));
        // The three tabs share the window's width.
        QCOMPARE(tabs->tabBar()->tabRect(2).right(), tabs->width() - 1);
        QCOMPARE(window.minimumSize(), window.maximumSize());
        window.resize(900, 900);
        QCOMPARE(window.contentView()->size(), QSize(700, 520));
    }

    void tabsFollowTheSharedSelection()
    {
        MainWindow window;
        MainView *tabs = window.contentView()->mainView();
        TabSelection *selection = window.contentView()->selectedTab();

        tabs->tabBar()->setCurrentIndex(1);
        QCOMPARE(selection->selectedTab(), 1);
        selection->setSelectedTab(0);
        QCOMPARE(tabs->currentIndex(), 0);

        // IrAConfiguracion from any tab, and again while already there.
        Notifier::instance().post(QString::fromLatin1(kIrAConfiguracion));
        QCOMPARE(selection->selectedTab(), 2);
        QCOMPARE(tabs->currentIndex(), 2);
        Notifier::instance().post(QString::fromLatin1(kIrAConfiguracion));
        QCOMPARE(tabs->currentIndex(), 2);
    }

    void noWindowNoMenu()
    {
        AppDelegate delegate;
        delegate.applicationDidFinishLaunching({});
        // A launch with a window, begun after it, builds its menu after the same delay: by then
        // whatever the first launch had put off would have come too.
        MainWindow window;
        AppDelegate withWindow;
        withWindow.applicationDidFinishLaunching({&window});
        QTRY_COMPARE_WITH_TIMEOUT(window.menuBar()->actions().size(), 1, 20000);
        QCOMPARE(delegate.findChildren<QObject *>().size(), 0);
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("paths");
        using K = CommandLineRequest::Kind;
        QTest::newRow("no arguments opens the window")
            << QStringList{"skyloft"} << int(K::Window) << QStringList{};
        QTest::newRow("paths are queued") << QStringList{"skyloft", "a b.txt", "/tmp/c"}
                                          << int(K::Window) << QStringList{"a b.txt", "/tmp/c"};
        QTest::newRow("unknown option")
            << QStringList{"skyloft", "--bogus"} << int(K::UsageError) << QStringList{};
    }

    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, kind);
        QFETCH(QStringList, paths);
        const CommandLineRequest request = parseCommandLine(arguments);
        QCOMPARE(int(request.kind), kind);
        QCOMPARE(request.paths, paths);
    }

    void versionAndHelpFromTheExecutable()
    {
        const skyloft::test::SkyloftRun version =
            skyloft::test::runSkyloft({"--version"}, QDir::homePath());
        QCOMPARE(version.out, QStringList{"1.0.0"});
        QCOMPARE(version.exitCode, 0);
        QVERIFY(
            skyloft::test::runSkyloft({"-h"}, QDir::homePath()).out.join('\n').contains("skyloft"));
    }

    void missingRcloneIsAnnouncedWithThePathTried()
    {
        QTemporaryDir resources;
        QWidget window;
        QVERIFY(!warnIfRcloneMissing(&window, RclonePaths(resources.path(), resources.path())));
        QMessageBox *box = skyloft::test::openDialog(&window);
        QVERIFY(box);
        QCOMPARE(box->text(), QStringLiteral("No se encontró rclone"));
        QVERIFY(box->informativeText().contains(resources.path() + "/rclone"));
        QVERIFY(skyloft::test::clickDialogButton(box, "Vale"));
        QVERIFY(warnIfRcloneMissing(&window, RclonePaths::process())); // the build's link
    }

    // Last: it runs the application's own event loop to its end (a signal that does not quit
    // it leaves the test to CTest's timeout).
    void terminationSignalQuitsThroughTheEventLoop()
    {
        QuitOnSignals quitOnSignals;
        QSignalSpy aboutToQuit(qApp, &QCoreApplication::aboutToQuit);
        QTimer::singleShot(0, qApp, [] { ::raise(SIGTERM); });
        QCOMPARE(QCoreApplication::exec(), 128 + SIGTERM);
        QCOMPARE(aboutToQuit.count(), 1);
    }
};

QTEST_MAIN(TestShell)
#include "test_shell.moc"
