// SPDX-License-Identifier: MIT
#include "CoveredControls.h"
#include "FakeRclone.h"
#include "TestHelpers.h"

#include "auth/ConfigState.h"
#include "core/RcloneBackends.h"
#include "core/Settings.h"
#include "screens/config/AuthorizeButton.h"
#include "screens/config/ConfigView.h"
#include "screens/config/CredentialField.h"
#include "screens/config/ServiceTile.h"
#include "ui/Toast.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QParallelAnimationGroup>
#include <QTabWidget>
#include <QTest>

#include <algorithm>
#include <functional>

using namespace skyloft;
using namespace skyloft::test;

namespace {

const QSize kSelected = ServiceTile::kSelectedPlateSize;

// Widgets in the order the eye reads them along `axis`.
template <typename Widget>
QList<Widget *> inScreenOrder(QList<Widget *> widgets, int (QPoint::*axis)() const)
{
    std::sort(widgets.begin(), widgets.end(), [axis](Widget *a, Widget *b) {
        return (a->mapTo(a->window(), QPoint()).*axis)() <
               (b->mapTo(b->window(), QPoint()).*axis)();
    });
    return widgets;
}

// The configuration tab next to another tab, at the window's size, over a fake rclone in a
// temporary home (with `config` as its configuration file, when given) and the killall stand-in.
struct Screen
{
    FakeRclone fake;
    QTabWidget tabs;
    QLabel otherTab{QStringLiteral("Subir")};
    ConfigView *view = nullptr;

    QList<QUrl> opened; // addresses handed to the browser

    // With `backends`, the screen knows what the installed rclone supports.
    explicit Screen(const QByteArray &config = {}, RcloneBackends *backends = nullptr)
    {
        if (!config.isEmpty())
            QVERIFY(writeFile(fake.configPath(), config));
        const int lowest = freeLowestPort();
        view = new ConfigView(
            AuthorizationSetup{fake.paths(), fake.killallPath(), lowest, lowest + 20}, nullptr,
            [this](const QUrl &url) {
                opened << url;
                return true;
            },
            backends);
        QVERIFY(view->state()->authorizedServices().isEmpty());
        tabs.addTab(&otherTab, QStringLiteral("Subir"));
        tabs.addTab(view, QStringLiteral("Configuración"));
        tabs.setCurrentIndex(1);
        tabs.resize(700, 520);
        tabs.show();
        QApplication::setActiveWindow(&tabs);
        QVERIFY(QTest::qWaitForWindowActive(&tabs));
    }
    ~Screen() { finishAuthorizations(); }

    ConfigState *state() const { return view->state(); }

    QList<ServiceTile *> tiles() const
    {
        return inScreenOrder(view->findChildren<ServiceTile *>(), &QPoint::x);
    }
    ServiceTile *tile(const QString &name) const
    {
        for (ServiceTile *tile : tiles()) {
            if (tile->displayName() == name)
                return tile;
        }
        return nullptr;
    }
    // One text per tile, left to right; tiles described by an empty text are left out.
    QStringList describeTiles(const std::function<QString(const ServiceTile &)> &describe) const
    {
        QStringList texts;
        for (ServiceTile *tile : tiles())
            texts << describe(*tile);
        texts.removeAll(QString());
        return texts;
    }
    QStringList tileNames() const
    {
        return describeTiles([](const ServiceTile &tile) { return tile.accessibleName(); });
    }
    QStringList checkMarks() const
    {
        return describeTiles([](const ServiceTile &tile) {
            return tile.showsCheckMark() ? tile.displayName() : QString();
        });
    }
    QList<CredentialField *> visibleFields() const
    {
        QList<CredentialField *> fields = view->findChildren<CredentialField *>();
        fields.removeIf([](CredentialField *field) { return !field->isVisible(); });
        return inScreenOrder(fields, &QPoint::y);
    }
    AuthorizeButton *button() const { return view->findChild<AuthorizeButton *>(); }
    // The line under the button, when shown.
    QString status() const
    {
        for (QLabel *label : view->findChildren<QLabel *>()) {
            if (label->isVisible() && label != toast() &&
                label->mapTo(view, QPoint()).y() > button()->mapTo(view, QPoint()).y() &&
                !label->parentWidget()->inherits("skyloft::SignInPanel"))
                return label->text();
        }
        return {};
    }
    Toast *toast() const { return view->findChild<Toast *>(); }

    void clickTile(const QString &name)
    {
        ServiceTile *target = tile(name);
        QVERIFY(target);
        QTest::mouseClick(target, Qt::LeftButton, {}, target->plateRect().center());
    }
    void selectAndType(const QString &service, const QStringList &typed)
    {
        clickTile(service);
        const QList<CredentialField *> fields = visibleFields();
        QCOMPARE(fields.size(), typed.size());
        for (qsizetype i = 0; i < fields.size(); ++i) {
            QTest::mouseClick(fields[i], Qt::LeftButton);
            QTest::keyClicks(fields[i], typed[i]);
        }
    }
    // Presses the button and waits until the authorization has posted its results.
    bool authorize()
    {
        QTest::mouseClick(button(), Qt::LeftButton, {}, button()->barRect().center());
        return finishAuthorizations();
    }
};

} // namespace

class TestConfigView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void selectingTiles_data()
    {
        QTest::addColumn<QStringList>("clicked");
        QTest::addColumn<QString>("enlarged");
        QTest::addColumn<QStringList>("placeholders");
        QTest::addColumn<bool>("masked");

        QTest::newRow("nothing clicked: OneDrive, no form")
            << QStringList{} << "OneDrive" << QStringList{} << false;
        QTest::newRow("Mega: user and masked password")
            << QStringList{"Mega"} << "Mega" << QStringList{"Usuario de Mega", "Contraseña de Mega"}
            << true;
        QTest::newRow("1Fichier: the API key")
            << QStringList{"1Fichier"} << "1Fichier" << QStringList{"API Key de 1Fichier"} << false;
        QTest::newRow("a tile without a form after Mega and 1Fichier: no form")
            << QStringList{"Mega", "1Fichier", "Dropbox"} << "Dropbox" << QStringList{} << false;
    }

    void selectingTiles()
    {
        QFETCH(QStringList, clicked);
        QFETCH(QString, enlarged);
        QFETCH(QStringList, placeholders);
        QFETCH(bool, masked);
        Screen screen;
        QCOMPARE(screen.tileNames(), (QStringList{"Google Drive", "Dropbox", "Mega", "1Fichier"}));
        for (const QString &name : clicked)
            screen.clickTile(name);

        for (ServiceTile *tile : screen.tiles())
            QTRY_COMPARE(tile->plateSize(),
                         tile->accessibleName() == enlarged ? QSize(120, 100) : QSize(100, 80));
        QStringList shown;
        for (CredentialField *field : screen.visibleFields()) {
            QCOMPARE(field->accessibleName(), field->placeholderText());
            shown << field->placeholderText();
        }
        QCOMPARE(shown, placeholders);
        if (masked)
            QCOMPARE(screen.visibleFields().last()->echoMode(), QLineEdit::Password);
        QCOMPARE(screen.button()->text(), "Autorizar " + enlarged);
        QCOMPARE(screen.button()->accessibleName(), screen.button()->text());
        QCOMPARE(screen.state()->selectedService(), enlarged);
    }

    // A tile reached with Tab and chosen with a key; then the Tab chain from the first tile.
    void keyboardSelectsAndTabOrder_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<int>("key");
        QTest::addColumn<QStringList>("order");
        const QStringList tiles{"Google Drive", "Dropbox", "Mega", "1Fichier"};
        QTest::newRow("no form: tiles, then the button")
            << "" << 0 << tiles + QStringList{"Autorizar OneDrive"};
        QTest::newRow("Mega by Enter: tiles, both fields, the button")
            << "Mega" << int(Qt::Key_Enter)
            << tiles + QStringList{"Usuario de Mega", "Contraseña de Mega", "Autorizar Mega"};
        QTest::newRow("1Fichier by Return: tiles, the key, the button")
            << "1Fichier" << int(Qt::Key_Return)
            << tiles + QStringList{"API Key de 1Fichier", "Autorizar 1Fichier"};
    }

    void keyboardSelectsAndTabOrder()
    {
        QFETCH(QString, selected);
        QFETCH(int, key);
        QFETCH(QStringList, order);
        Screen screen;
        screen.tiles().first()->setFocus(Qt::TabFocusReason);
        if (!selected.isEmpty()) {
            for (int tab = 0; tab < 4 && QApplication::focusWidget()->accessibleName() != selected;
                 ++tab)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
            QTRY_COMPARE(screen.state()->selectedService(), selected);
            QTRY_COMPARE(screen.tile(selected)->plateSize(), kSelected);
            screen.tiles().first()->setFocus(Qt::TabFocusReason);
        }
        QStringList reached{QApplication::focusWidget()->accessibleName()};
        for (qsizetype i = 1; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            reached << QApplication::focusWidget()->accessibleName();
        }
        QCOMPARE(reached, order);
    }

    void typingAndEnterAuthorize_data()
    {
        QTest::addColumn<QString>("service");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QStringList>("credentials");
        // Shell quotes, spaces and "$HOME" must reach rclone as one untouched argument.
        const QString password = QStringLiteral(" p \"q' r\\ $HOME:to ");
        QTest::newRow("Mega") << "Mega" << QStringList{"ana@example.com", password}
                              << QStringList{"mega", "mega",  "user", "ana@example.com",
                                             "pass", password};
        QTest::newRow("1Fichier, a key of spaces")
            << "1Fichier" << QStringList{"   "}
            << QStringList{"fichier", "fichier", "api_key", "   "};
    }

    void typingAndEnterAuthorize()
    {
        QFETCH(QString, service);
        QFETCH(QStringList, typed);
        QFETCH(QStringList, credentials);
        Screen screen;
        screen.selectAndType(service, typed);
        const ConfigState &state = *screen.state();
        QCOMPARE(state.credentials(service), typed);
        // Typing alone starts nothing.
        QVERIFY(finishAuthorizations());
        QCOMPARE(screen.fake.killallRuns(), QStringList{});
        // Return in a field before the last moves on and runs nothing.
        const QList<CredentialField *> fields = screen.visibleFields();
        if (fields.size() > 1) {
            QTest::keyClick(fields.first(), Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget(), fields[1]);
            QVERIFY(finishAuthorizations());
            QCOMPARE(screen.fake.killallRuns(), QStringList{});
        }

        QTest::keyClick(fields.last(), Qt::Key_Return);
        QTRY_COMPARE(screen.fake.callCount(), 1);
        QVERIFY(finishAuthorizations());
        QCOMPARE(screen.fake.killallRuns(), QStringList{"rclone"});
        QCOMPARE(screen.fake.calls().first().arguments.mid(4), credentials);
        QCOMPARE(screen.fake.calls().first().standardInput, QByteArray());
        // Nothing clears what was typed.
        QCOMPARE(screen.visibleFields().first()->text(), typed.first());
    }

    // Which sections count is test_config_file's; the marks follow the file each time the tab
    // comes back.
    void comingBackToTheTabRescans()
    {
        Screen screen;
        QCOMPARE(screen.checkMarks(), QStringList{});
        screen.tabs.setCurrentIndex(0);
        QVERIFY(writeFile(screen.fake.configPath(), "[drive]\ntype = drive\ntoken = t\n"));
        QCOMPARE(screen.checkMarks(), QStringList{}); // not while the tab is away
        screen.tabs.setCurrentIndex(1);
        QCOMPARE(screen.checkMarks(), QStringList{"Google Drive"});

        screen.tabs.setCurrentIndex(0);
        QVERIFY(writeFile(screen.fake.configPath(), "[dropbox]\ntype = dropbox\ntoken = t\n"));
        screen.tabs.setCurrentIndex(1);
        QCOMPARE(screen.checkMarks(), QStringList{"Dropbox"});

        // The marks are rebuilt from the file, not added to: without it, none is left.
        screen.tabs.setCurrentIndex(0);
        QVERIFY(QFile::remove(screen.fake.configPath()));
        screen.tabs.setCurrentIndex(1);
        QCOMPARE(screen.checkMarks(), QStringList{});
    }

    // A success raises the toast only when it changes the message and hides it 4 s later; a
    // failure shows why in red under the button, until the next press, and no toast.
    void resultsOnScreen()
    {
        Screen screen;
        QCOMPARE(screen.toast()->text(), QStringLiteral("✅ Servicio configurado correctamente"));
        screen.fake.setHandler(
            "case \"$5\" in\n"
            "mega) sed -i 's/^type = mega$/&\\nuser = ana/' \"$RCLONE_CONFIG\" ;;\n"
            "drive) echo 'Error: sin navegador'; echo ;;\n"
            "esac\n");

        screen.clickTile("Mega");
        QVERIFY(screen.authorize());
        QCOMPARE(screen.status(),
                 QStringLiteral("No se pudo autorizar Mega: Ingresa email y password para Mega."));
        QVERIFY(!screen.toast()->isShown());

        screen.selectAndType("Mega", {"ana@example.com", "secreto"});
        QVERIFY(screen.authorize());
        QCOMPARE(screen.status(), QString());
        QVERIFY(screen.toast()->isShown());
        QCOMPARE(screen.checkMarks(), QStringList{"Mega"});
        // With the Mega form, the tallest screen, it covers no control once in place; then it
        // goes by itself.
        auto *entrance = screen.toast()->findChild<QParallelAnimationGroup *>();
        QVERIFY(entrance);
        QTRY_COMPARE_WITH_TIMEOUT(entrance->state(), QAbstractAnimation::Stopped, 20000);
        QCOMPARE(coveredControls(screen.view, screen.toast()), QStringList());
        QTRY_VERIFY_WITH_TIMEOUT(!screen.toast()->isShown(), 3 * ConfigState::kToastMs);

        // The same success again leaves the message as it was: no toast.
        QVERIFY(screen.authorize());
        QCOMPARE(screen.fake.callCount(), 2);
        QVERIFY(!screen.toast()->isShown());

        screen.clickTile("Google Drive");
        QVERIFY(screen.authorize());
        QCOMPARE(screen.status(),
                 QStringLiteral("No se pudo autorizar Google Drive: Error: sin navegador"));
        QVERIFY(!screen.toast()->isShown());
        QCOMPARE(screen.checkMarks(), QStringList{"Mega"});
    }

    // A service whose own remote is missing takes a remote of its type: the only one without
    // asking, or the one chosen under "Remoto:", which is remembered and authorized.
    void remoteOfTheServiceType_data()
    {
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<QStringList>("offered");
        QTest::addColumn<QString>("tileLine");
        QTest::addColumn<QStringList>("checkMarks");
        QTest::addColumn<QString>("authorized"); // the remote an authorization creates
        QTest::newRow("none of its type: its own remote name, nothing to choose")
            << QByteArray("[gd]\ntype = alias\ntoken = t\n") << QStringList{} << "" << QStringList{}
            << "drive";
        QTest::newRow("one: used without asking")
            << QByteArray("[trabajo]\ntype = drive\ntoken = t\n") << QStringList{}
            << "trabajo:" << QStringList{"Google Drive"} << "trabajo";
        QTest::newRow("two: the user chooses")
            << QByteArray("[gdrive]\ntype = drive\n\n[trabajo]\ntype = drive\ntoken = t\n")
            << QStringList{"gdrive", "trabajo"} << "Elige remoto" << QStringList{} << "trabajo";
    }

    void remoteOfTheServiceType()
    {
        QFETCH(QByteArray, config);
        QFETCH(QStringList, offered);
        QFETCH(QString, tileLine);
        QFETCH(QStringList, checkMarks);
        QFETCH(QString, authorized);
        Settings().setChosenRemote("Google Drive", {});
        Screen screen(config);
        screen.clickTile("Google Drive");
        auto *chooser = screen.view->findChild<QComboBox *>();
        QCOMPARE(chooser->isVisible(), !offered.isEmpty());
        QCOMPARE(screen.tile("Google Drive")->remoteLine(), tileLine);
        QCOMPARE(screen.checkMarks(), checkMarks);
        if (!offered.isEmpty()) {
            QStringList items;
            for (int i = 0; i < chooser->count(); ++i)
                items << chooser->itemText(i);
            QCOMPARE(items, offered);
            QCOMPARE(chooser->accessibleName(), "Remoto:");
            chooser->setFocus(Qt::TabFocusReason);
            QTest::keyClick(chooser, Qt::Key_Down);
            QTest::keyClick(chooser, Qt::Key_Down);
            QCOMPARE(screen.tile("Google Drive")->remoteLine(), "trabajo:");
            QCOMPARE(screen.checkMarks(), QStringList{"Google Drive"});
            // Remembered: a new screen uses it without asking.
            Screen again(config);
            QCOMPARE(again.checkMarks(), QStringList{"Google Drive"});
        }
        QVERIFY(screen.authorize());
        QCOMPARE(screen.fake.calls().first().arguments.mid(2, 4),
                 (QStringList{"config", "create", authorized, "drive"}));
    }

    // An encrypted file is said in plain view, not shown as services to authorize.
    void anEncryptedFileIsSaid()
    {
        Screen screen("# Encrypted rclone configuration File\n\nRCLONE_ENCRYPT_V0:\nD/b4M0\n");
        QVERIFY(screen.status().startsWith("Tu configuración de rclone está cifrada: "));
        QVERIFY(screen.status().contains("«rclone config» (opción «s» y luego «u»)"));
        QCOMPARE(screen.checkMarks(), QStringList{});
    }

    // What assistive technology hears of a tile: a button, selected while its form is open,
    // whose press opens it as a click does and whose name says it is authorized. A service whose
    // backend the installed rclone lacks says so by name and under its tile, and shows neither a
    // check mark nor a form nor a button, whatever the file holds.
    void tilesTellSelectionAuthorizationAndAvailability()
    {
        FakeRclone probed;
        probed.setHandler("[ \"$1\" = help ] && printf 'All rclone backends:\\n\\n"
                          "  drive        Google Drive\\n  dropbox      Dropbox\\n"
                          "  fichier      1Fichier\\n'\n");
        RcloneBackends backends;
        backends.probe(probed.paths());
        Screen screen("[drive]\ntype = drive\ntoken = t\n[mega]\ntype = mega\nuser = a\n",
                      &backends);
        QTRY_VERIFY(screen.tile("Mega")->isUnavailable());

        QStringList names;
        for (ServiceTile *tile : screen.tiles()) {
            QAccessibleInterface *item = QAccessible::queryAccessibleInterface(tile);
            QCOMPARE(item->role(), QAccessible::Button);
            QVERIFY(!item->state().checkable && !item->state().selected);
            names << item->text(QAccessible::Name);
        }
        QCOMPARE(names, (QStringList{"Google Drive, autorizado", "Dropbox", "Mega, no disponible",
                                     "1Fichier"}));
        QVERIFY(screen.tile("Mega")->accessibleDescription().contains("«mega»"));

        QAccessibleInterface *fichier =
            QAccessible::queryAccessibleInterface(screen.tile("1Fichier"));
        fichier->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(screen.state()->selectedService(), QStringLiteral("1Fichier"));
        QVERIFY(fichier->state().selected);
        QCOMPARE(screen.visibleFields().size(), 1);

        QAccessibleInterface *mega = QAccessible::queryAccessibleInterface(screen.tile("Mega"));
        mega->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QVERIFY(mega->state().selected && !fichier->state().selected);
        QCOMPARE(screen.visibleFields(), QList<CredentialField *>{});
        QVERIFY(!screen.button()->isVisible());
        QCOMPARE(screen.status(), screen.tile("Mega")->accessibleDescription());
        QCOMPARE(screen.checkMarks(), QStringList{"Google Drive"});
        QCOMPARE(screen.fake.killallRuns(), QStringList{});
        QCOMPARE(screen.fake.callCount(), 0);
    }
};

QTEST_MAIN(TestConfigView)
#include "test_config_view.moc"
