// SPDX-License-Identifier: MIT
// What a screen reader can do in the window: every control's action does what its click does,
// windows and dialogs say what they are, and a whole run can be followed and worked through the
// accessibility tree and the keyboard alone.
#include "FakeRclone.h"
#include "TestHelpers.h"

#include "core/Settings.h"
#include "screens/config/ServiceTile.h"
#include "screens/history/HistoryWindow.h"
#include "screens/links/LinkCardDelegate.h"
#include "screens/links/LinksListView.h"
#include "screens/upload/DropZone.h"
#include "screens/upload/ServicePill.h"
#include "screens/upload/UploadView.h"
#include "shell/AppDelegate.h"
#include "shell/ContentView.h"
#include "shell/MainView.h"
#include "shell/MainWindow.h"
#include "shell/TabSelection.h"
#include "ui/StyledButton.h"
#include "upload/GeneratedLinks.h"
#include "upload/UploadState.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTabBar>
#include <QTest>
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

using namespace skyloft;
using namespace skyloft::test;

namespace {

// What a screen reader would have been told at once, in order: the text of every shown object
// of the Alert role for which the Alert event came.
QStringList g_alerts;

void keepAlerts(QAccessibleEvent *event)
{
    QAccessibleInterface *alert = event->accessibleInterface();
    if (event->type() == QAccessible::Alert && alert &&
        alert->role() == QAccessible::AlertMessage && !alert->state().invisible)
        g_alerts << alert->text(QAccessible::Name);
}

// The first object of `role` named `name` under `root`, depth first; hidden ones count only
// when asked for.
QAccessibleInterface *find(QAccessibleInterface *root, QAccessible::Role role, const QString &name,
                           bool hiddenToo = false)
{
    if (!root || (!hiddenToo && root->state().invisible))
        return nullptr;
    if (root->role() == role && root->text(QAccessible::Name) == name)
        return root;
    for (int i = 0; i < root->childCount(); ++i) {
        if (QAccessibleInterface *found = find(root->child(i), role, name, hiddenToo))
            return found;
    }
    return nullptr;
}

// Every control the keyboard can reach under `root` that has no name, as "role at path".
QStringList unnamedControls(QAccessibleInterface *root, const QString &path = {})
{
    QStringList unnamed;
    if (!root || root->state().invisible)
        return unnamed;
    // A widget that hands its focus on (a tab widget to its bar) never holds it.
    const auto *widget = qobject_cast<const QWidget *>(root->object());
    if (root->state().focusable && !(widget && widget->focusProxy()) &&
        root->text(QAccessible::Name).trimmed().isEmpty())
        unnamed << QStringLiteral("%1 en %2 (%3)")
                       .arg(root->role())
                       .arg(path, root->object() ? root->object()->metaObject()->className() : "");
    for (int i = 0; i < root->childCount(); ++i)
        unnamed << unnamedControls(root->child(i), path + QLatin1Char('/') + QString::number(i));
    return unnamed;
}

void press(QAccessibleInterface *control, const QString &action)
{
    QVERIFY(control);
    QVERIFY2(control->actionInterface()->actionNames().contains(action),
             qPrintable(control->actionInterface()->actionNames().join(',')));
    control->actionInterface()->doAction(action);
}

const QString kPress = QAccessibleActionInterface::pressAction();

// The window a user opens, over the fake rclone, with one link in its links tab.
struct Session
{
    MainWindow window;

    Session()
    {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        tabs()->generatedLinks()->append("drive", {"a.txt", "https://l/drive:/a.txt"});
    }
    MainView *tabs() const { return window.contentView()->mainView(); }
    UploadView *upload() const { return tabs()->uploadView(); }
    QAccessibleInterface *tree() { return QAccessible::queryAccessibleInterface(&window); }
    QAccessibleInterface *find(QAccessible::Role role, const QString &name)
    {
        return ::find(tree(), role, name);
    }
    QAccessibleInterface *card(int row)
    {
        auto *list = window.findChild<LinksListView *>();
        return QAccessible::queryAccessibleInterface(list)->child(row);
    }
    // What a user can tell of the window's state after acting on one control.
    QString snapshot() const
    {
        int dialogs = 0;
        for (QWidget *top : QApplication::topLevelWidgets())
            dialogs += (qobject_cast<QFileDialog *>(top) || qobject_cast<QMenu *>(top)) &&
                       top->isVisible();
        QStringList pills = upload()->state()->serviciosSeleccionados().values();
        pills.sort();
        return QStringList{QString::number(tabs()->currentIndex()),
                           window.findChild<ServiceTile *>() ? selectedTile() : QString(),
                           pills.join('+'), QString::number(dialogs),
                           QGuiApplication::clipboard()->text()}
            .join(" | ");
    }
    QString selectedTile() const
    {
        for (ServiceTile *tile : window.findChildren<ServiceTile *>()) {
            if (tile->isSelected())
                return tile->displayName();
        }
        return {};
    }
};

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

private:
    FakeRclone m_fake;

private Q_SLOTS:
    void initTestCase()
    {
        // Qt hands accessibility events on only while a bridge to assistive technology is
        // active, which the offscreen platform never has: switched on here, with a handler that
        // keeps the alerts instead of passing them on.
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
        QAccessible::installUpdateHandler(keepAlerts);
        QVERIFY(QAccessible::isActive());
        // The window's screens take the process's rclone and home: the fake's.
        qputenv("HOME", QFile::encodeName(m_fake.home()));
        qputenv("SKYLOFT_RESOURCE_DIR", QFile::encodeName(m_fake.resourceDir()));
        QVERIFY(writeFile(m_fake.configPath(), kDriveAndDropbox));
        Settings().setSubidaRapida(false);
    }

    void init()
    {
        g_alerts.clear();
        QGuiApplication::clipboard()->clear();
    }

    // One row per kind of control: its accessible action, in one window, leaves the window as
    // its click leaves another.
    void actionDoesWhatTheClickDoes_data()
    {
        QTest::addColumn<QString>("control");
        for (const char *control : {"tab", "tile", "pill", "drop zone", "link card"})
            QTest::newRow(control) << QString::fromLatin1(control);
    }

    void actionDoesWhatTheClickDoes()
    {
        QFETCH(QString, control);
        QString before;
        QString clicked;
        {
            Session session;
            if (control == "tile")
                session.tabs()->setCurrentIndex(TabConfiguration);
            if (control == "link card")
                session.tabs()->setCurrentIndex(TabLinks);
            before = session.snapshot();
            if (control == "tab") {
                QTabBar *bar = session.tabs()->tabBar();
                QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(TabConfiguration).center());
            } else if (control == "tile") {
                auto *tile = session.window.findChildren<ServiceTile *>().last();
                QTest::mouseClick(tile, Qt::LeftButton, {}, tile->plateRect().center());
            } else if (control == "pill") {
                QTest::mouseClick(session.upload()->servicePills().at(2), Qt::LeftButton);
            } else if (control == "drop zone") {
                QTest::mouseClick(session.upload()->dropZone(), Qt::LeftButton);
            } else {
                auto *list = session.window.findChild<LinksListView *>();
                const QModelIndex card = list->model()->index(1, 0);
                const QRect button =
                    list->cardDelegate()->copyButtonRect(list->visualRect(card), card);
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, button.center());
            }
            clicked = session.snapshot();
        }
        QVERIFY2(clicked != before, qPrintable(clicked));
        QGuiApplication::clipboard()->clear();

        Session session;
        if (control == "tile")
            session.tabs()->setCurrentIndex(TabConfiguration);
        if (control == "link card")
            session.tabs()->setCurrentIndex(TabLinks);
        if (control == "tab")
            press(session.find(QAccessible::PageTab, "Configuración"), kPress);
        else if (control == "tile")
            press(session.find(QAccessible::Button, "1Fichier"), kPress);
        else if (control == "pill")
            press(session.find(QAccessible::CheckBox, "Mega"),
                  QAccessibleActionInterface::toggleAction());
        else if (control == "drop zone")
            press(session.find(QAccessible::Grouping, "Suelta archivos aquí"), kPress);
        else
            press(session.card(1), kPress);
        QCOMPARE(session.snapshot(), clicked);
    }

    // A screen reader's walk through a run, with the fake rclone refusing one copy the first
    // time: queue two files through the chooser, pick two services, upload, hear the end and the
    // failure, read it, retry it, copy a link. Focus never rests on what cannot be seen.
    void aWholeRunThroughTheTreeAndTheKeys()
    {
        m_fake.setHandler(
            "case \"$3:$4:$5\" in\n"
            "copy:*b.txt:dropbox:/) [ -e \"$HOME/.again\" ] || { touch \"$HOME/.again\";"
            " printf '2026/12/07 01:36:18 Failed to copy: TooManyRequests: Too many requests\\n"
            "\\tstatus code: 429\\n'; exit 1; } ;;\n"
            "link:*) echo \"https://l/$4\" ;;\n"
            "esac\n");
        QVERIFY(writeFile(m_fake.home() + "/a.txt", "a"));
        QVERIFY(writeFile(m_fake.home() + "/b.txt", "b"));
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QAccessibleInterface *tree = QAccessible::queryAccessibleInterface(&window);
        UploadView *upload = window.contentView()->mainView()->uploadView();

        press(find(tree, QAccessible::Grouping, "Suelta archivos aquí"), kPress);
        QTRY_VERIFY(qobject_cast<QMenu *>(QApplication::activePopupWidget()));
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Return); // "Elegir archivos…"
        QTRY_VERIFY(qobject_cast<QFileDialog *>(QApplication::activeModalWidget()));
        QTRY_VERIFY(qobject_cast<QLineEdit *>(QApplication::focusWidget()));
        QTest::keyClicks(QApplication::focusWidget(), "\"a.txt\" \"b.txt\"");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_COMPARE(upload->state()->archivosSeleccionados().size(), 2);
        // What a window manager does when a dialog closes; the offscreen platform does not.
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        // Files and no service: what is missing is said where the button will be.
        QVERIFY(find(tree, QAccessible::StaticText, "Elige al menos un servicio"));
        QVERIFY(!find(tree, QAccessible::Button, "Subir Archivos"));
        for (const char *service : {"Google Drive, autorizado", "Dropbox, autorizado"})
            press(find(tree, QAccessible::CheckBox, service),
                  QAccessibleActionInterface::toggleAction());
        QVERIFY(!find(tree, QAccessible::StaticText, "Elige al menos un servicio"));
        // The upload starts from the keyboard, the button's own focus then Space.
        press(find(tree, QAccessible::Button, "Subir Archivos"),
              QAccessibleActionInterface::setFocusAction());
        QCOMPARE(QApplication::focusWidget(), upload->uploadButton());
        QTest::keyClick(upload->uploadButton(), Qt::Key_Space);

        QAccessibleInterface *linksTab = find(tree, QAccessible::PageTab, "Enlaces");
        QTRY_VERIFY_WITH_TIMEOUT(linksTab->state().selected, 30000);
        QVERIFY(!find(tree, QAccessible::PageTab, "Subir")->state().selected);
        QCOMPARE(g_alerts,
                 (QStringList{"No se pudo subir «b.txt» a Dropbox. Dropbox ha recibido "
                              "demasiadas peticiones seguidas. Espera unos minutos y "
                              "vuelve a intentarlo.",
                              "Subida terminada: 3 enlaces generados, 1 subida fallida."}));

        // Tab reaches the links; Ctrl+Tab twice comes round to the upload tab, whose button is
        // gone with the queue: the focus lands on something that can be seen.
        QVERIFY(QApplication::focusWidget() && QApplication::focusWidget()->isVisible());
        auto *list = window.findChild<LinksListView *>();
        for (int i = 0; i < 10 && QApplication::focusWidget() != list; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), list);
        QAccessibleInterface *links = QAccessible::queryAccessibleInterface(list);
        QVERIFY(links->focusChild() && !links->focusChild()->state().offscreen);
        for (int i = 0; i < 2; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
        QVERIFY(find(tree, QAccessible::PageTab, "Subir")->state().selected);
        QWidget *focus = QApplication::focusWidget();
        QVERIFY(focus && focus->isVisible());
        QVERIFY(focus != upload->uploadButton());
        QTest::keyClick(focus, Qt::Key_Tab, Qt::ControlModifier);
        QVERIFY(linksTab->state().selected);

        // The failure: what happened and what to do, then rclone's own lines.
        QAccessibleInterface *failed = nullptr;
        for (int row = 0; row < links->childCount() && !failed; ++row) {
            if (links->child(row)->state().expandable)
                failed = links->child(row);
        }
        QVERIFY(failed);
        QCOMPARE(failed->text(QAccessible::Name), QStringLiteral("b.txt"));
        QVERIFY(failed->text(QAccessible::Description).contains("demasiadas peticiones"));
        press(failed, "expand");
        QVERIFY(failed->text(QAccessible::Description).contains("status code: 429"));

        press(failed, kPress);
        QTRY_VERIFY(!failed->state().expandable);
        QCOMPARE(failed->text(QAccessible::Description),
                 QStringLiteral("https://l/dropbox:/b.txt"));
        press(failed, kPress);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("https://l/dropbox:/b.txt"));
        QCOMPARE(g_alerts.last(), QStringLiteral("📋 Enlace copiado"));
    }

    // Windows say they are windows and close with Escape; "Acerca de" is a dialog; the search's
    // clear button and the menu's checkable entry say what they are.
    void windowsDialogsAndTheirControls()
    {
        MainWindow window;
        AppDelegate delegate;
        window.show();
        delegate.applicationDidFinishLaunching({&window});
        QVERIFY(QTest::qWaitForWindowActive(&window));
        // Every tab, with a queue, a link and a failed card: each control it shows has a name.
        MainView *tabs = window.contentView()->mainView();
        QVERIFY(writeFile(m_fake.home() + "/c.txt", "c"));
        window.queueFiles({m_fake.home() + "/c.txt"});
        tabs->generatedLinks()->append("drive", {"a.txt", "https://l/drive:/a.txt"});
        PairOutcome failed;
        failed.service = "Dropbox";
        failed.fileName = "b.txt";
        failed.state = PairState::CopiaFallida;
        failed.detail = "Failed to copy: boom";
        tabs->generatedLinks()->append("dropbox", LinkItem::fromOutcome(failed));
        for (const int tab : {TabUpload, TabLinks, TabConfiguration}) {
            tabs->setCurrentIndex(tab);
            QTRY_COMPARE(unnamedControls(QAccessible::queryAccessibleInterface(&window)).join("; "),
                         QString());
        }

        HistoryWindow *history = window.showHistory();
        QVERIFY(QTest::qWaitForWindowActive(history));
        QAccessibleInterface *historyTree = QAccessible::queryAccessibleInterface(history);
        QCOMPARE(historyTree->role(), QAccessible::Window);
        QTest::keyClicks(history->searchField(), "x");
        QCOMPARE(unnamedControls(historyTree).join("; "), QString());
        history->searchField()->clear();
        QTest::keyClicks(history->searchField(), "playa");
        press(find(historyTree, QAccessible::Button, "Borrar la búsqueda"), kPress);
        QCOMPARE(history->searchField()->text(), QString());
        QVERIFY(!find(historyTree, QAccessible::Button, "Borrar la búsqueda"));
        QTest::keyClick(history->searchField(), Qt::Key_Escape);
        QTRY_VERIFY(!history->isVisible());

        delegate.mostrarAcercaDe();
        QMessageBox *about = nullptr;
        QTRY_VERIFY((about = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())));
        QAccessibleInterface *aboutTree = QAccessible::queryAccessibleInterface(about);
        QCOMPARE(aboutTree->role(), QAccessible::Dialog);
        QCOMPARE(aboutTree->text(QAccessible::Name), QStringLiteral("Skyloft"));
        QTest::keyClick(about, Qt::Key_Escape);
        QTRY_VERIFY(!QApplication::activeModalWidget());

        QTRY_VERIFY(!window.menuBar()->actions().isEmpty());
        QAccessibleInterface *rapida = find(QAccessible::queryAccessibleInterface(&window),
                                            QAccessible::MenuItem, "Subida rápida", true);
        QVERIFY(rapida && rapida->state().checkable);
        QVERIFY(!rapida->state().checked);
        press(rapida, kPress);
        QVERIFY(rapida->state().checked);
        QVERIFY(Settings().subidaRapida());
        Settings().setSubidaRapida(false);
    }
};

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
