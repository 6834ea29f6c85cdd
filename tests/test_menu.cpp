// SPDX-License-Identifier: MIT
#include "CapturedStdout.h"
#include "FakeRclone.h"
#include "OpenDialog.h"
#include "TestHelpers.h"

#include "core/Settings.h"
#include "screens/history/HistoryWindow.h"
#include "screens/links/LinksState.h"
#include "screens/links/LinksView.h"
#include "screens/upload/UploadView.h"
#include "shell/AppDelegate.h"
#include "shell/ContentView.h"
#include "shell/MainView.h"
#include "shell/MainWindow.h"
#include "shell/TabSelection.h"
#include "shell/TrayIcon.h"
#include "upload/GeneratedLinks.h"
#include "upload/UploadRuns.h"
#include "upload/UploadState.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>
#include <QTranslator>
#include <QUrl>

using namespace skyloft;
using namespace skyloft::test;

namespace {

const QString kHelp = QStringLiteral("https://ayuda.example/skyloft");
const QString kRepository = QStringLiteral("https://git.example/rclone");

// The window after launching, with the menu built, and the addresses the menu opened.
struct LaunchedApp
{
    QList<QUrl> opened;
    MainWindow window;
    AppDelegate delegate;

    explicit LaunchedApp(const QString &helpUrl = kHelp)
        : delegate(helpUrl, kRepository, [this](const QUrl &url) {
              opened.append(url);
              return true;
          })
    {
        window.show();
        window.activateWindow();
        delegate.applicationDidFinishLaunching({&window});
        QVERIFY(QTest::qWaitForWindowActive(&window));
        // The new menu bar is shown an event after it is set, and its shortcuts work from then.
        QTRY_VERIFY(menu() && window.menuBar()->isVisible());
    }

    QMenu *menu() const
    {
        const QList<QAction *> top = window.menuBar()->actions();
        return top.size() == 1 ? top.first()->menu() : nullptr;
    }
    QAction *item(const QString &text) const
    {
        for (QAction *action : menu()->actions()) {
            if (action->text() == text)
                return action;
        }
        return nullptr;
    }
    int shownTab() const { return window.contentView()->mainView()->currentIndex(); }
};

} // namespace

class TestMenu : public QObject
{
    Q_OBJECT

    // The window's rclone is this fake, with its home; the settings start afresh.
    FakeRclone m_fake;
    QTemporaryDir m_config;

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("HOME", m_fake.home().toUtf8());
        qputenv("SKYLOFT_RESOURCE_DIR", m_fake.resourceDir().toUtf8());
        qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
    }

    // "Subida rápida" is on at first start and chooses the engine of every run of the window:
    // the upload button's and the retries of the links tab and of the history. Its daemon does
    // not start here, so each of those runs says so once and goes on with processes. Turned
    // off, it is remembered and no run asks for the daemon.
    void subidaRapidaChoosesTheEngineOfEveryRun()
    {
        m_fake.setHandler("case \"$3\" in link) echo \"https://l/$4\" ;; esac\n");
        QVERIFY(writeFile(m_fake.configPath(), kDriveAndDropbox));
        const QString file = m_fake.home() + "/a.txt";
        QVERIFY(writeFile(file, "a"));
        LaunchedApp app;
        QAction *rapida = app.item(QStringLiteral("Subida rápida"));
        QVERIFY(rapida->isCheckable() && rapida->isChecked());
        MainView *view = app.window.contentView()->mainView();
        QSignalSpy ended(view->uploadRuns(), &UploadRuns::runFinished);
        PairOutcome failed;
        failed.service = "Dropbox";
        failed.remote = "dropbox";
        failed.fileName = "a.txt";
        failed.localPath = file;
        failed.state = PairState::CopiaFallida;
        auto *links = qobject_cast<LinksView *>(view->widget(TabLinks));
        QVERIFY(links);

        for (const bool on : {true, false}) {
            if (!on)
                rapida->trigger();
            QCOMPARE(Settings().subidaRapida(), on);
            QList<QStringList> commands; // the rclone commands of each run, but the daemon
            QList<bool> askedForDaemon;
            const auto run = [&](const std::function<void()> &start) {
                const int before = m_fake.callCount();
                CapturedStdout out;
                start();
                QVERIFY(ended.wait(30000));
                QStringList words;
                for (const FakeRclone::Call &call : m_fake.calls().mid(before))
                    words << (call.arguments.contains("rcd") ? QStringLiteral("rcd")
                                                             : call.arguments.value(2));
                askedForDaemon << (words.removeAll("rcd") > 0);
                commands << words;
                QCOMPARE(out.lines().count(
                             QStringLiteral("⚠️ Subida rápida no disponible (❌ rclone "
                                            "rcd terminó sin responder: "
                                            "); se sube con un proceso por archivo.")),
                         on ? 1 : 0);
            };
            UploadState *state = view->uploadView()->state();
            run([&] {
                state->rescanAuthorizations(m_fake.configPath());
                state->appendArchivo(file);
                state->toggleService("Google Drive");
                state->toggleService("Dropbox");
                view->uploadView()->startUpload();
            });
            view->generatedLinks()->record(failed);
            run([&] {
                links->state()->retry("dropbox",
                                      view->generatedLinks()->links()["dropbox"].size() - 1);
            });
            run([&] { view->retry({failed}); });
            const QStringList pair{"copy", "link"};
            QCOMPARE(commands, (QList<QStringList>{pair + pair, pair, pair}));
            QCOMPARE(askedForDaemon, QList<bool>(3, on));
        }
    }

    // A limit and an expiry chosen or written in the menu go to the window's runs and are
    // remembered; what means nothing is refused and changes nothing.
    void limitAndExpiryFromTheMenu()
    {
        const auto answer = [](LaunchedApp &app, const QString &entry, const QString &text) {
            app.item(entry)->trigger();
            QInputDialog *dialog = nullptr;
            QTRY_VERIFY((dialog = app.window.findChild<QInputDialog *>()) && dialog->isVisible());
            auto *field = dialog->findChild<QLineEdit *>();
            QVERIFY(field);
            field->selectAll();
            field->insert(text); // keyClicks types ASCII only

            QTest::keyClick(field, Qt::Key_Return);
        };
        {
            LaunchedApp app;
            UploadRuns *runs = app.window.contentView()->mainView()->uploadRuns();
            answer(app, "Limitar velocidad…", "2,5 MB/s");
            QTRY_COMPARE(runs->bandwidthLimit(), QStringLiteral("2.5M"));
            answer(app, "Caducidad de enlaces…", "7 días");
            QTRY_COMPARE(runs->linkExpiry(), QStringLiteral("7d"));
            answer(app, "Limitar velocidad…", "mucho");
            QMessageBox *box = nullptr;
            QTRY_VERIFY((box = skyloft::test::openDialog(&app.window)));
            QCOMPARE(box->text(), QStringLiteral("«mucho» no es una velocidad. Escribe, por "
                                                 "ejemplo, 2 MB/s o 500 KB/s."));
            QTest::keyClick(box, Qt::Key_Return);
            QCOMPARE(runs->bandwidthLimit(), QStringLiteral("2.5M"));
        }
        LaunchedApp again;
        UploadRuns *runs = again.window.contentView()->mainView()->uploadRuns();
        QCOMPARE(runs->bandwidthLimit(), QStringLiteral("2.5M"));
        QCOMPARE(runs->linkExpiry(), QStringLiteral("7d"));
        QCOMPARE(Settings().limiteVelocidad(), QStringLiteral("2.5M"));
        Settings().setLimiteVelocidad({});
        Settings().setCaducidadEnlaces({});
    }

    // The menu's entries in Spanish, from the translation of their keys.
    void menuEntries()
    {
        QTranslator translator;
        QVERIFY(translator.load(QStringLiteral(":/i18n/skyloft_es.qm")));
        QCoreApplication::installTranslator(&translator);
        CapturedStdout out;
        MainWindow window;
        AppDelegate delegate;
        delegate.applicationDidFinishLaunching({&window});
        // The menu comes a moment after launching, not with it.
        QVERIFY(window.menuBar()->actions().isEmpty());
        QTRY_COMPARE(window.menuBar()->actions().size(), 1);

        QMenu *menu = window.menuBar()->actions().first()->menu();
        QVERIFY(menu);
        QCOMPARE(menu->title(), QStringLiteral("Skyloft"));
        QStringList shown;
        for (QAction *action : menu->actions()) {
            shown << (action->isSeparator() ? QStringLiteral("-")
                                            : action->text() + "|" + action->shortcut().toString());
        }
        QCOMPARE(shown, (QStringList{"Acerca de Skyloft|", "-", "Configuración…|Ctrl+,",
                                     "Historial…|Ctrl+H", "Subida rápida|", "Limitar velocidad…|",
                                     "Caducidad de enlaces…|", "Icono en la bandeja|", "-",
                                     "Ayuda de Skyloft|Ctrl+?", "-", "Agradecimientos a Rclone|",
                                     "-", "Salir de Skyloft|Ctrl+Q"}));
        QCOMPARE(out.lines().count(QStringLiteral("✅ Menú personalizado creado correctamente.")),
                 1);
        QCoreApplication::removeTranslator(&translator);
    }

    // The tray icon is off at first and remembered. Where the desktop has no tray (offscreen has
    // none) its entry is disabled and says why, and the icon never shows.
    void trayIconOnlyWhereATrayExists()
    {
        LaunchedApp app;
        QAction *entry = app.item(QStringLiteral("Icono en la bandeja"));
        QVERIFY(entry->isCheckable() && !entry->isChecked() && !entry->isEnabled());
        QCOMPARE(entry->statusTip(),
                 QStringLiteral("Este escritorio no tiene bandeja del sistema."));
        entry->setChecked(true);
        QVERIFY(app.window.trayIcon()->isWanted());
        QVERIFY(!app.window.trayIcon()->isVisible());
        QVERIFY(MainWindow().trayIcon()->isWanted());
        entry->setChecked(false);
        QVERIFY(!MainWindow().trayIcon()->isWanted());
    }

    void configurationAndHistoryFromTheMenu_data()
    {
        QTest::addColumn<int>("fromTab");
        QTest::addColumn<bool>("byKey");
        QTest::newRow("the item, from the upload tab") << int(TabUpload) << false;
        QTest::newRow("Ctrl+, from the links tab") << int(TabLinks) << true;
    }

    void configurationAndHistoryFromTheMenu()
    {
        QFETCH(int, fromTab);
        QFETCH(bool, byKey);
        LaunchedApp app;
        MainView *tabs = app.window.contentView()->mainView();
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {},
                          tabs->tabBar()->tabRect(fromTab).center());
        QCOMPARE(app.shownTab(), fromTab);
        if (byKey) {
            // The keys go to whatever has the focus, as they would for a user.
            QTest::keyClick(&app.window, Qt::Key_Tab);
            QWidget *focus = QApplication::focusWidget();
            QTest::keyClick(focus ? focus : &app.window, Qt::Key_Comma, Qt::ControlModifier);
        } else {
            app.menu()->actions().at(2)->trigger(); // "Configuración…"
        }
        QCOMPARE(app.shownTab(), int(TabConfiguration));
        QCOMPARE(app.window.contentView()->selectedTab()->selectedTab(), int(TabConfiguration));

        // "Historial…" opens the history window, by its item or Ctrl+H.
        QVERIFY(!app.window.findChild<HistoryWindow *>());
        if (byKey)
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &app.window,
                            Qt::Key_H, Qt::ControlModifier);
        else
            app.menu()->actions().at(3)->trigger();
        auto *history = app.window.findChild<HistoryWindow *>();
        QVERIFY(history && history->isVisible());
    }

    void onlineHelp_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QList<QUrl>>("opened");
        QTest::addColumn<QString>("line");
        QTest::newRow("a web address opens in the browser")
            << kHelp << QList<QUrl>{QUrl(kHelp)} << "🧭 Ayuda abierta en el navegador";
        QTest::newRow("an address that does not parse opens nothing")
            << "https://exa mple.com/ayuda" << QList<QUrl>{} << "❌ URL inválida";
    }

    void onlineHelp()
    {
        QFETCH(QString, address);
        QFETCH(QList<QUrl>, opened);
        QFETCH(QString, line);
        LaunchedApp app(address);
        CapturedStdout out;
        QTest::keyClick(&app.window, Qt::Key_Question, Qt::ControlModifier);
        QCOMPARE(app.opened, opened);
        QCOMPARE(out.lines(), QStringList{line});
    }

    void thanksToRclone_data()
    {
        QTest::addColumn<QString>("answer"); // a button's text
        QTest::addColumn<QList<QUrl>>("opened");
        QTest::newRow("Abrir Repositorio opens rclone's page")
            << "Abrir Repositorio" << QList<QUrl>{QUrl(kRepository)};
        QTest::newRow("Cerrar opens nothing") << "Cerrar" << QList<QUrl>{};
    }

    void thanksToRclone()
    {
        QFETCH(QString, answer);
        QFETCH(QList<QUrl>, opened);
        LaunchedApp app;
        app.item(QStringLiteral("Agradecimientos a Rclone"))->trigger();
        QMessageBox *box = openDialog(&app.window);
        QVERIFY(box);
        QCOMPARE(seenInDialog(box),
                 (QStringList{"¡Gracias, Rclone!",
                              "Esta app usa Rclone para la magia detrás del telón. Puedes "
                              "visitar su repositorio oficial:",
                              "Abrir Repositorio*", "Cerrar"}));
        QCOMPARE(box->icon(), QMessageBox::Information);
        QVERIFY(answerDialog(&app.window, answer));
        QCOMPARE(app.opened, opened);
    }

    void aboutShowsNameVersionAndIcon()
    {
        LaunchedApp app;
        app.menu()->actions().first()->trigger();
        QMessageBox *box = openDialog(&app.window);
        QVERIFY(box);
        QCOMPARE(seenInDialog(box), (QStringList{"Skyloft", "Versión 1.0.0", "Aceptar*"}));
        QVERIFY(!box->iconPixmap().isNull());
        QVERIFY(answerDialog(&app.window, "Aceptar"));
        QVERIFY(app.opened.isEmpty());
    }
};

QTEST_MAIN(TestMenu)
#include "test_menu.moc"
