// SPDX-License-Identifier: MIT
#include "CapturedStdout.h"
#include "DropUrls.h"
#include "FakeRclone.h"
#include "OpenDialog.h"
#include "ScriptedHttpServer.h"
#include "TestHelpers.h"

#include "core/Notifier.h"
#include "core/RcloneBackends.h"
#include "core/RemoteDestinations.h"
#include "screens/upload/DropZone.h"
#include "screens/upload/FileChooser.h"
#include "screens/upload/ProgressCard.h"
#include "screens/upload/ServicePill.h"
#include "screens/upload/ServiceProgressBar.h"
#include "screens/upload/UploadView.h"
#include "ui/SectionSwitcher.h"
#include "ui/StyledButton.h"
#include "upload/UploadRuns.h"
#include "upload/UploadState.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <memory>
#include <sys/stat.h>

using namespace skyloft;
using namespace skyloft::test;

namespace {

const QString kMainColumn = QStringLiteral("main column");
const QString kProgressSection = QStringLiteral("progress section");

// An upload screen in a window of its own, over a fake rclone and a web server on 127.0.0.1.
struct Screen
{
    FakeRclone fake;
    ScriptedHttpServer server;
    QTemporaryDir files;
    int configurationRequests = 0; // IrAConfiguracion posted
    int runsEnded = 0;
    QList<ChooserKind> choosersOpened;
    QStringList chooserAnswer;                  // what the user picks when the file chooser opens
    QList<QUrl> opened;                         // addresses handed to the browser
    RcloneBackends backends;                    // none known unless a test says
    RemoteDestinations *destinations = nullptr; // no other remotes unless a test gives some
    std::unique_ptr<UploadView> view;

    // A null configuration leaves the file missing.
    explicit Screen(const QByteArray &config = kDriveAndDropbox, const QString &handler = {})
    {
        if (!config.isNull())
            writeFile(fake.configPath(), config);
        if (!handler.isEmpty())
            fake.setHandler(handler);
        server.answer("/ping", 200, "ok");
        server.answer("/version.json", 200, R"({"version": "1.0.0"})");
    }

    void create()
    {
        UploadViewSetup setup{
            fake.paths(),
            {server.url("/ping"), server.url()},
            [this](const QUrl &url) {
                opened << url;
                return true;
            },
            [this](QWidget *, ChooserKind kind, std::function<void(const QStringList &)> onChosen) {
                choosersOpened << kind;
                onChosen(chooserAnswer);
            },
            &backends,
            nullptr,
            destinations};
        view = std::make_unique<UploadView>(setup);
        view->resize(700, 490);
        Notifier::instance().observe(QString::fromLatin1(kIrAConfiguracion), view.get(),
                                     [this] { ++configurationRequests; });
        QObject::connect(view->runs(), &UploadRuns::runFinished, view.get(),
                         [this] { ++runsEnded; });
    }

    void show()
    {
        if (!view)
            create();
        view->show();
        view->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(view.get()));
    }

    UploadState *state() const { return view->state(); }

    QString file(const QString &name)
    {
        const QString path = files.filePath(name);
        writeFile(path, "data of " + name.toUtf8());
        return path;
    }

    bool drop(const QList<QUrl> &urls) { return skyloft::test::dropUrls(view->dropZone(), urls); }

    void queue(const QStringList &paths)
    {
        QList<QUrl> urls;
        for (const QString &path : paths)
            urls << QUrl::fromLocalFile(path);
        QVERIFY(drop(urls));
        QTRY_COMPARE(state()->archivosSeleccionados().size(), paths.size());
    }

    template <typename Widget>
    static Widget *named(const QList<Widget *> &widgets, const QString &service)
    {
        const auto found = std::find_if(widgets.cbegin(), widgets.cend(),
                                        [&](Widget *w) { return w->displayName() == service; });
        return found == widgets.cend() ? nullptr : *found;
    }
    ServicePill *pill(const QString &service) const { return named(view->servicePills(), service); }
    ProgressCard *card(const QString &service) const
    {
        return named(view->progressCards(), service);
    }

    QStringList cardNames() const
    {
        QStringList names;
        for (ProgressCard *card : view->progressCards())
            names << card->displayName();
        return names;
    }

    // The names the zone lists, top to bottom.
    QStringList listedNames() const
    {
        const QAbstractItemModel *model = view->dropZone()->fileList()->model();
        QStringList names;
        for (int row = 0; row < model->rowCount(); ++row)
            names << model->index(row, 0).data().toString();
        return names;
    }

    bool uploadButtonShown() const { return view->uploadButton()->isVisibleTo(view.get()); }

    QString shownSection() const
    {
        return view->sections()->currentIndex() == 0 ? kMainColumn : kProgressSection;
    }

    // The accessible names of the controls the Tab key visits, from the first one on.
    QStringList tabChain(QWidget *first) const
    {
        QStringList chain;
        first->setFocus(Qt::TabFocusReason);
        for (QWidget *focus = QApplication::focusWidget(); focus && chain.size() < 20;) {
            chain << focus->accessibleName();
            QTest::keyClick(focus, Qt::Key_Tab);
            focus = QApplication::focusWidget();
            if (focus == first)
                break;
        }
        return chain;
    }
};

void click(QAbstractButton *button)
{
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton);
}

} // namespace

class TestUploadView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void uploadButtonNeedsFilesAndServices_data()
    {
        QTest::addColumn<QStringList>("actions"); // "queue", "clear" or a service to click
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QStringList>("selected");
        QTest::newRow("nothing yet: the empty screen") << QStringList{} << false << QStringList{};
        QTest::newRow("a file without a service") << QStringList{"queue"} << false << QStringList{};
        QTest::newRow("an unauthorized service without a file")
            << QStringList{"Mega"} << false << QStringList{"Mega"};
        QTest::newRow("a file and a service")
            << QStringList{"Mega", "queue"} << true << QStringList{"Mega"};
        QTest::newRow("the service clicked again")
            << QStringList{"queue", "Mega", "Dropbox", "Mega"} << true << QStringList{"Dropbox"};
        QTest::newRow("every service clicked off")
            << QStringList{"queue", "Mega", "Mega"} << false << QStringList{};
        QTest::newRow("the queue emptied")
            << QStringList{"queue", "Mega", "clear"} << false << QStringList{"Mega"};
    }

    void uploadButtonNeedsFilesAndServices()
    {
        QFETCH(QStringList, actions);
        QFETCH(bool, shown);
        QFETCH(QStringList, selected);
        Screen screen;
        screen.show();
        if (actions.isEmpty()) {
            QCOMPARE(screen.shownSection(), kMainColumn);
            QCOMPARE(screen.view->dropZone()->size(), QSize(DropZone::kWidth, DropZone::kHeight));
            // The file holds tokens for Google Drive and Dropbox only.
            QStringList pills;
            for (ServicePill *pill : screen.view->servicePills())
                pills << pill->displayName() + (pill->isAuthorized() ? "+" : "");
            QCOMPARE(pills, (QStringList{"Google Drive+", "Dropbox+", "Mega", "1Fichier"}));
        }
        for (const QString &action : actions) {
            if (action == QLatin1String("queue"))
                screen.queue({screen.file("a.txt")});
            else if (action == QLatin1String("clear"))
                click(screen.view->dropZone()->clearButton());
            else
                click(screen.pill(action));
        }
        QCOMPARE(screen.uploadButtonShown(), shown);
        QCOMPARE(sorted(screen.state()->serviciosSeleccionados().values()), selected);
        for (ServicePill *pill : screen.view->servicePills())
            QCOMPARE(pill->isChecked(), selected.contains(pill->displayName()));
        QCOMPARE(screen.view->dropZone()->isEmpty(),
                 screen.state()->archivosSeleccionados().isEmpty());
    }

    void unauthorizedServiceRaisesTheAlert_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("configurationRequests");
        QTest::newRow("Ir a Configuración asks for the configuration tab")
            << "Ir a Configuración" << 1;
        QTest::newRow("Cancelar stays") << "Cancelar" << 0;
    }

    void unauthorizedServiceRaisesTheAlert()
    {
        QFETCH(QString, answer);
        QFETCH(int, configurationRequests);
        Screen screen(kDriveOnly);
        screen.show();
        screen.queue({screen.file("a.txt")});
        click(screen.pill("Mega"));
        click(screen.view->uploadButton());

        QMessageBox *box = openDialog(screen.view.get());
        QVERIFY(box);
        QCOMPARE(seenInDialog(box),
                 (QStringList{"🚫 Servicio no autorizado",
                              "Tiene que autorizar al menos uno de los servicios "
                              "seleccionados para subir archivos.",
                              "Ir a Configuración", "Cancelar*"}));
        QVERIFY(answerDialog(screen.view.get(), answer));

        QCOMPARE(screen.configurationRequests, configurationRequests);
        QVERIFY(!screen.state()->showAuthorizationAlert());
        QVERIFY(!screen.state()->isUploading());
        QCOMPARE(screen.shownSection(), kMainColumn);
        QCOMPARE(screen.fake.callCount(), 0);
    }

    // Only the type of the configured remote counts, not the service's name.
    void pillOfAMissingBackendIsDisabled_data()
    {
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("a mega remote of type mega")
            << QByteArray("[mega]\ntype = mega\nuser = a\n") << false;
        QTest::newRow("a mega remote of type alias")
            << QByteArray("[mega]\ntype = alias\nremote = /tmp\nuser = a\n") << true;
    }

    void pillOfAMissingBackendIsDisabled()
    {
        QFETCH(QByteArray, config);
        QFETCH(bool, enabled);
        Screen screen(config);
        screen.backends.setNames(QSet<QString>{"alias", "drive", "dropbox", "fichier"});
        screen.show();
        QCOMPARE(screen.pill("Mega")->isEnabled(), enabled);
        QCOMPARE(screen.pill("Mega")->accessibleDescription().contains("«mega»"), !enabled);
        // Authorized in the file, but no tick while it cannot be used.
        QCOMPARE(screen.pill("Mega")->isAuthorized(), enabled);
        QCOMPARE(screen.pill("Mega")->accessibleName(), enabled ? "Mega, autorizado" : "Mega");
        QVERIFY(screen.pill("Google Drive")->isEnabled());
    }

    void cardsShowEachSelectedServicesProgress_data()
    {
        QTest::addColumn<double>("progress");
        QTest::addColumn<QString>("percentage");
        QTest::newRow("truncated, not rounded") << 0.425 << "42%";
        QTest::newRow("just short of the end") << 0.999 << "99%";
        QTest::newRow("done") << 1.0 << "100%";
    }

    void cardsShowEachSelectedServicesProgress()
    {
        QFETCH(double, progress);
        QFETCH(QString, percentage);
        Screen screen;
        screen.show();
        for (const QString service : {"1Fichier", "Google Drive", "Dropbox"})
            click(screen.pill(service));
        UploadState *state = screen.state();
        state->setIsUploading(true);
        QCOMPARE(screen.shownSection(), kProgressSection);
        QCOMPARE(screen.cardNames(), (QStringList{"Google Drive", "Dropbox", "1Fichier"}));

        state->resetServiceProgress("Google Drive");
        state->setProgressFileName("Google Drive", "informe final.pdf");
        state->applyServiceProgress("Google Drive", progress);
        ServiceProgressBar *bar = screen.card("Google Drive")->bar();
        QCOMPARE(bar->percentageText(), percentage);
        QCOMPARE(bar->fileName(), QStringLiteral("informe final.pdf"));
        // The fill eases to its width over half a second.
        QVERIFY(bar->fillWidth() < progress * bar->width());
        QTRY_COMPARE(bar->fillWidth(), progress * bar->width());

        // A service the run has not reached: an empty bar without a file.
        ServiceProgressBar *waiting = screen.card("Dropbox")->bar();
        QCOMPARE(waiting->percentageText(), QStringLiteral("0%"));
        QCOMPARE(waiting->fileName(), QString());
        QCOMPARE(waiting->fillWidth(), 0.0);
    }

    void drops_data()
    {
        QTest::addColumn<QStringList>("dropped"); // paths in the files folder, or addresses
        QTest::addColumn<QStringList>("queued");  // the same, in no particular order
        QTest::addColumn<QStringList>("listed");  // names the zone lists
        QTest::newRow("a folder gives its visible files at any depth")
            << QStringList{"carpeta"} << QStringList{"carpeta/a.txt", "carpeta/sub/b.txt"}
            << QStringList{"a.txt", "b.txt"};
        QTest::newRow("a name with a space is queued decoded")
            << QStringList{"con espacio.txt"} << QStringList{"con espacio.txt"}
            << QStringList{"con espacio.txt"};
        QTest::newRow("the same file twice is queued twice")
            << QStringList{"a.txt", "a.txt"} << QStringList{"a.txt", "a.txt"}
            << QStringList{"a.txt", "a.txt"};
        QTest::newRow("a web address is ignored")
            << QStringList{"https://example.com/a.txt"} << QStringList{} << QStringList{};
    }

    void drops()
    {
        QFETCH(QStringList, dropped);
        QFETCH(QStringList, queued);
        QFETCH(QStringList, listed);
        Screen screen;
        screen.show();
        for (const QString name :
             {"a.txt", "con espacio.txt", "carpeta/a.txt", "carpeta/.oculto", "carpeta/sub/b.txt"})
            screen.file(name);
        QList<QUrl> urls;
        for (const QString &item : dropped)
            urls << (item.contains(':') ? QUrl(item)
                                        : QUrl::fromLocalFile(screen.files.filePath(item)));
        QVERIFY(screen.drop(urls));
        // Taken in after the drop has returned, on the GUI thread.
        QVERIFY(screen.state()->archivosSeleccionados().isEmpty());
        drainEvents(); // each URL is handed on; a web address is dropped here

        QStringList expected;
        for (const QString &name : queued)
            expected << screen.files.filePath(name);
        // A folder is walked on a thread of its own: wait for the queue, not for a time.
        QTRY_COMPARE_WITH_TIMEOUT(sorted(screen.state()->archivosSeleccionados()), sorted(expected),
                                  20000);
        QCOMPARE(sorted(screen.listedNames()), sorted(listed));
        QCOMPARE(screen.view->dropZone()->isEmpty(), queued.isEmpty());
    }

    // A click or a key offers both choosers; the entry taken says which dialog opens.
    void theZoneOffersBothChoosers_data()
    {
        QTest::addColumn<int>("key"); // 0 for a click
        QTest::addColumn<int>("entry");
        QTest::newRow("click, files") << 0 << 0;
        QTest::newRow("Return, folder") << int(Qt::Key_Return) << 1;
        QTest::newRow("Space, files") << int(Qt::Key_Space) << 0;
    }
    void theZoneOffersBothChoosers()
    {
        QFETCH(int, key);
        QFETCH(int, entry);
        Screen screen;
        screen.show();
        screen.chooserAnswer = {screen.file("a.txt"), screen.file("b c.txt")};
        DropZone *zone = screen.view->dropZone();
        QMenu *menu = zone->chooserMenu();
        QStringList entries;
        for (const QAction *action : menu->actions())
            entries << action->text();
        QCOMPARE(entries, (QStringList{"Elegir archivos…", "Elegir carpeta…"}));
        if (key) {
            zone->setFocus(Qt::TabFocusReason);
            QTest::keyClick(zone, Qt::Key(key));
            QTRY_VERIFY(menu->isVisible());
            if (entry == 1)
                QTest::keyClick(menu, Qt::Key_Down);
            QTest::keyClick(menu, Qt::Key_Return);
        } else {
            QTest::mouseClick(zone, Qt::LeftButton);
            QTRY_VERIFY(menu->isVisible());
            menu->actions().at(entry)->trigger();
        }
        const ChooserKind kind = entry ? ChooserKind::Folder : ChooserKind::Files;
        QCOMPARE(screen.choosersOpened, QList<ChooserKind>{kind});
        QTRY_COMPARE(screen.state()->archivosSeleccionados(), screen.chooserAnswer);
        QCOMPARE(screen.listedNames(), (QStringList{"a.txt", "b c.txt"}));
        QCOMPARE(zone->countLine()->text(), "2 archivos en cola");
        // With files queued, a click on the list offers them again; the clear button does not.
        menu->hide();
        QTest::mouseClick(zone->clearButton(), Qt::LeftButton);
        QVERIFY(!menu->isVisible());
        QTest::mouseClick(zone->fileList()->viewport(), Qt::LeftButton);
        QTRY_VERIFY(menu->isVisible());
    }

    void appearingChecksConnectionScansThenChecksForUpdate_data()
    {
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<QList<int>>("inFlightAtEachAuthorization");
        QTest::addColumn<QStringList>("requests");
        QTest::addColumn<QString>("line");
        QTest::newRow("readable configuration")
            << kDriveOnly << QList<int>{1} << QStringList{"GET /ping", "GET /version.json"}
            << "✅ Google Drive autorizado con token/API.";
        QTest::newRow("missing configuration: no update check")
            << QByteArray() << QList<int>{} << QStringList{"GET /ping"}
            << "No se pudo leer el archivo de configuración para verificar autorizaciones.";
    }

    void appearingChecksConnectionScansThenChecksForUpdate()
    {
        QFETCH(QByteArray, config);
        QFETCH(QList<int>, inFlightAtEachAuthorization);
        QFETCH(QStringList, requests);
        QFETCH(QString, line);
        Screen screen(config);
        screen.create();
        // The connectivity request is out before the scan adds a service; the update's after.
        QList<int> inFlight;
        WebChecks *checks = screen.view->webChecks();
        connect(screen.state(), &UploadState::authorizedServicesChanged, this,
                [&] { inFlight << checks->requestsInFlight(); });
        CapturedStdout out;
        screen.show();
        QCOMPARE(inFlight, inFlightAtEachAuthorization);
        QVERIFY(out.lines().contains(line));
        QTRY_COMPARE(sorted(screen.server.requests()), requests);
        QTRY_COMPARE(checks->requestsInFlight(), 0);
        QCOMPARE(sorted(screen.server.requests()), requests);

        // Every appearance checks again.
        screen.view->hide();
        screen.view->show();
        QTRY_COMPARE(screen.server.requests().size(), 2 * requests.size());
        QTRY_COMPARE(checks->requestsInFlight(), 0);
        QCOMPARE(screen.server.requests().size(), 2 * requests.size());
    }

    void noConnectionAlertComesBackAtEachAppearance()
    {
        Screen screen(QByteArray{});
        screen.server.answer("/ping", 404, {});
        screen.show();
        for (int appearance = 0; appearance < 2; ++appearance) {
            QTRY_VERIFY(openDialog(screen.view.get()));
            QCOMPARE(seenInDialog(openDialog(screen.view.get())),
                     (QStringList{"🌐 Sin conexión a Internet",
                                  "Oye, si no te conectas, pocos vas a subir, compañero.",
                                  "Vale, lo intento*"}));
            QCOMPARE(screen.state()->alertaActiva(), TipoAlerta::noHayInternet);
            QVERIFY(answerDialog(screen.view.get(), "Vale, lo intento"));
            QCOMPARE(screen.state()->alertaActiva(), std::nullopt);
            screen.view->hide();
            screen.view->show();
        }
    }

    void updateDialogOffersTheDownload_data()
    {
        QTest::addColumn<QString>("answer"); // a button's text
        QTest::addColumn<QStringList>("opened");
        QTest::newRow("Descargar opens the download page")
            << "Descargar" << QStringList{"/descargar"};
        QTest::newRow("Cancelar opens nothing") << "Cancelar" << QStringList{};
    }

    void updateDialogOffersTheDownload()
    {
        QFETCH(QString, answer);
        QFETCH(QStringList, opened);
        Screen screen;
        screen.server.answer("/version.json", 200, R"({"version": "1.0.1"})");
        screen.show();
        QTRY_VERIFY(openDialog(screen.view.get()));
        QCOMPARE(seenInDialog(openDialog(screen.view.get())),
                 (QStringList{"Actualización disponible",
                              "Hay una nueva versión disponible de la app. ¿Deseas actualizar?",
                              "Descargar*", "Cancelar"}));
        QVERIFY(answerDialog(screen.view.get(), answer));
        QList<QUrl> expected;
        for (const QString &path : opened)
            expected << QUrl(screen.server.url(path));
        QCOMPARE(screen.opened, expected);
    }

    // The other remotes that can link have a row of their own after the services, and come after
    // them in Tab order; one that leaves rclone's file leaves the selection.
    void otherRemotesFollowTheServices()
    {
        const QByteArray others = "\n[archivo]\ntype = alias\nremote = s3:a\n"
                                  "\n[nube casa]\ntype = alias\nremote = s3:b\n"
                                  "\n[disco]\ntype = local\n\n[s3]\ntype = s3\n";
        Screen screen(kDriveOnly + others);
        RemoteDestinations destinations(screen.fake.paths());
        screen.destinations = &destinations;
        screen.show();
        QTRY_COMPARE(screen.view->servicePills().size(), 6);
        QCOMPARE(screen.view->servicePills().at(5)->displayName(), "nube casa");
        QCOMPARE(screen.pill("archivo")->accessibleDescription(), "Remoto de rclone (s3)");
        QVERIFY(screen.pill("nube casa")->isAuthorized());

        screen.queue({screen.file("a.txt")});
        click(screen.pill("nube casa"));
        QCOMPARE(screen.state()->serviciosSeleccionados(), QSet<QString>{"nube casa"});
        QCOMPARE(screen.cardNames(), QStringList{"nube casa"});
        QCOMPARE(screen.tabChain(screen.pill("1Fichier")).mid(0, 4),
                 (QStringList{"1Fichier", "archivo, autorizado", "nube casa, autorizado",
                              "Subir Archivos"}));

        QVERIFY(writeFile(screen.fake.configPath(), kDriveOnly));
        destinations.refresh();
        QTRY_COMPARE(screen.view->servicePills().size(), 4);
        QVERIFY(screen.state()->serviciosSeleccionados().isEmpty());
        QVERIFY(!screen.uploadButtonShown());

        // More than fit: the window keeps its width and the row scrolls to the focused pill.
        QByteArray many = kDriveOnly + "\n[s3]\ntype = s3\n";
        for (int i = 1; i <= 8; ++i)
            many += "\n[almacén " + QByteArray::number(i) + "]\ntype = alias\nremote = s3:x\n";
        QVERIFY(writeFile(screen.fake.configPath(), many));
        destinations.refresh();
        QTRY_COMPARE(screen.view->servicePills().size(), 12);
        ServicePill *last = screen.pill("almacén 8");
        QWidget *viewport = last->parentWidget()->parentWidget();
        const auto shown = [&] {
            return viewport->rect().contains(QRect(last->mapTo(viewport, QPoint()), last->size()));
        };
        QTRY_VERIFY(screen.pill("almacén 1")->isVisible());
        QVERIFY(!shown());
        QCOMPARE(screen.view->width(), 700);
        screen.pill("almacén 7")->setFocus(Qt::TabFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), last);
        QVERIFY(shown());
    }

    // An encrypted file is said under the services; none of them is offered as signed in.
    void anEncryptedFileIsSaid()
    {
        Screen screen("RCLONE_ENCRYPT_V0:\nD/b4M0\n");
        screen.show();
        QStringList shown;
        for (QLabel *label : screen.view->findChildren<QLabel *>()) {
            if (label->isVisible() && label->text().startsWith("Tu configuración de rclone"))
                shown << label->text();
        }
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown.first().startsWith("Tu configuración de rclone está cifrada: "));
        for (ServicePill *pill : screen.view->servicePills())
            QVERIFY(!pill->isAuthorized());
    }

    // Tab visits every control, the upload button once it shows; Return presses the buttons.
    void keyboardReachesEveryControl()
    {
        Screen screen(kDriveOnly);
        screen.show();
        screen.queue({screen.file("a.txt")});
        // Picked out of screen order: the cards' Tab order still follows the screen.
        click(screen.pill("Mega"));
        click(screen.pill("Dropbox"));
        QCOMPARE(screen.tabChain(screen.view->dropZone()),
                 (QStringList{"Suelta archivos aquí", "Archivos en cola",
                              "Eliminar todos los archivos", "Google Drive, autorizado", "Dropbox",
                              "Mega", "1Fichier", "Subir Archivos"}));
        QTest::keyClick(screen.view->uploadButton(), Qt::Key_Return);
        QVERIFY(screen.state()->showAuthorizationAlert());
        QVERIFY(answerDialog(screen.view.get(), "Cancelar"));

        screen.state()->setIsUploading(true);
        QCOMPARE(screen.tabChain(screen.view->cancelAllButton()),
                 (QStringList{"Cancelar todo", "Cancelar Dropbox", "Cancelar Mega"}));
        QTest::keyClick(screen.view->cancelAllButton(), Qt::Key_Return);
        QVERIFY(!screen.state()->isUploading());
    }

    void aFifoIsRefusedByName()
    {
        Screen screen;
        screen.show();
        const QString fifo = screen.files.path() + "/tubo";
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QVERIFY(screen.drop({QUrl::fromLocalFile(fifo)}));
        QMessageBox *box = nullptr;
        QTRY_VERIFY((box = openDialog(screen.view.get())));
        QCOMPARE(box->text(), QStringLiteral("No se pueden subir estos archivos"));
        QVERIFY(box->informativeText().startsWith(fifo + ": no es un archivo normal"));
        QVERIFY(screen.state()->archivosSeleccionados().isEmpty());
    }

    // Quitting closes the window mid-copy: the screen's run goes with it and ends its rclone child
    // (test_upload_run covers the link request and the quiet end).
    void closingTheScreenDuringARunEndsItsChild()
    {
        Screen screen(kDriveAndDropbox, "case \"$3\" in copy) nap 30 ;; esac\n");
        screen.show();
        screen.queue({screen.file("a.txt")});
        click(screen.pill("Google Drive"));
        click(screen.view->uploadButton());
        QTRY_VERIFY_WITH_TIMEOUT(screen.fake.callCount() == 1 && screen.fake.lastCallWaits(),
                                 20000);
        const pid_t child = pid_t(screen.fake.pidOf(1));
        QVERIFY(child > 0);
        screen.view.reset();
        QCOMPARE(::kill(child, 0), -1);
        drainEvents(); // nothing of the run may come back
    }

    void aRunThroughTheScreen()
    {
        Screen screen(kDriveAndDropbox,
                      "case \"$3:$4\" in\n"
                      "copy:*b.txt) nap 30 ;;\n"
                      "copy:*) echo 'Transferred: 5 B / 10 B, 50%, 1 B/s, ETA 1s'\n"
                      "  while [ ! -f \"$HOME/go\" ]; do nap 0.1; done ;;\n"
                      "link:*) echo \"https://links.example/$4\" ;;\n"
                      "esac\n");
        screen.show();
        const QString a = screen.file("a.txt");
        const QString b = screen.file("b.txt");
        screen.queue({a, b});
        // What a screen reader's Toggle action does: no click, the button is toggled.
        screen.pill("Dropbox")->toggle();
        click(screen.pill("Google Drive"));
        QCOMPARE(screen.state()->serviciosSeleccionados(),
                 (QSet<QString>{"Dropbox", "Google Drive"}));
        click(screen.view->uploadButton());
        QCOMPARE(screen.shownSection(), kProgressSection);

        // Half of the first of two files: a quarter of the service.
        ServiceProgressBar *drive = screen.card("Google Drive")->bar();
        QTRY_COMPARE(drive->fileName(), QStringLiteral("a.txt"));
        QTRY_COMPARE(drive->percentageText(), QStringLiteral("25%"));
        QAccessibleInterface *heard = QAccessible::queryAccessibleInterface(drive);
        QCOMPARE(heard->role(), QAccessible::ProgressBar);
        QCOMPARE(heard->valueInterface()->currentValue().toInt(), 25);
        // Under the bar, what moved of the two files of 13 bytes; a service not reached waits.
        QTRY_COMPARE(screen.card("Google Drive")->transferText(),
                     QStringLiteral("0 de 2 archivos · 5 B de 26 B · 1 B/s · quedan 21 s"));
        QCOMPARE(screen.card("Dropbox")->transferText(), QStringLiteral("En espera"));
        QVERIFY(writeFile(screen.fake.home() + "/go", "")); // a.txt's copy may end now

        // A cancelled card says so and loses its button.
        click(screen.card("Dropbox")->cancelButton());
        QCOMPARE(screen.card("Dropbox")->notice(), QStringLiteral("Cancelado"));
        QVERIFY(screen.card("Dropbox")->cancelButton()->isHidden());

        // Cancelar todo ends the run and its rclone child at once and brings the queue and the
        // selection back.
        QTRY_VERIFY_WITH_TIMEOUT(screen.fake.callCount() == 3 && screen.fake.lastCallWaits(),
                                 20000);
        const pid_t child = pid_t(screen.fake.pidOf(3)); // the copy of b.txt
        QVERIFY(child > 0);
        click(screen.view->cancelAllButton());
        QCOMPARE(::kill(child, 0), -1);
        QCOMPARE(screen.runsEnded, 1);
        QCOMPARE(screen.shownSection(), kMainColumn);
        QCOMPARE(screen.state()->archivosSeleccionados(), (QStringList{a, b}));
        QCOMPARE(screen.listedNames(), (QStringList{"a.txt", "b.txt"}));
        QVERIFY(screen.pill("Google Drive")->isChecked() && screen.pill("Dropbox")->isChecked());
        QVERIFY(screen.uploadButtonShown());
        QCoreApplication::processEvents();
        QCOMPARE(screen.fake.callCount(), 3);
    }
};

QTEST_MAIN(TestUploadView)
#include "test_upload_view.moc"
