// SPDX-License-Identifier: MIT
#include "CoveredControls.h"
#include "FakeRclone.h"
#include "OpenDialog.h"

#include "screens/links/LinkCardDelegate.h"
#include "screens/links/LinksListView.h"
#include "screens/links/LinksModel.h"
#include "screens/links/LinksState.h"
#include "screens/links/LinksView.h"
#include "screens/links/ServiceSection.h"
#include "ui/Toast.h"
#include "upload/GeneratedLinks.h"
#include "upload/UploadRuns.h"

#include <QAccessible>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

using namespace skyloft;
using namespace skyloft::test;

using Recorded = QList<QPair<QString, LinkItem>>; // (remote name, item) in recording order

namespace {

// A links screen at the window's size, shown, over its own GeneratedLinks.
struct Screen
{
    GeneratedLinks links;
    UploadRuns runs;
    LinksView view;

    explicit Screen(const RclonePaths &paths = RclonePaths::process())
        : runs(paths), view(&links, &runs, desktopSaveFileChooser())
    {
        view.resize(700, 480);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
    }

    void record(const Recorded &recorded)
    {
        for (const auto &[remote, item] : recorded)
            links.append(remote, item);
    }
    LinksListView *list() const { return view.findChild<LinksListView *>(); }
    QAbstractItemModel *model() const { return list()->model(); }
    QPushButton *button(const QString &text) const
    {
        for (QPushButton *button : view.findChildren<QPushButton *>()) {
            if (button->text() == text && button->accessibleName() == text)
                return button;
        }
        return nullptr;
    }
    Toast *toast() const { return view.findChild<Toast *>(); }

    // What the list shows, one entry a row: "# Title [image]" for headers, the file name for cards.
    QStringList shownRows() const
    {
        QStringList rows;
        for (int r = 0; r < model()->rowCount(); ++r) {
            const QModelIndex index = model()->index(r, 0);
            if (index.data(LinksModel::KindRole).toInt() == LinksModel::HeaderRow)
                rows << QStringLiteral("# %1 [%2]")
                            .arg(index.data().toString(),
                                 index.data(LinksModel::ImageNameRole).toString());
            else
                rows << index.data().toString();
        }
        return rows;
    }
    QModelIndex cardFor(const QString &link) const
    {
        const QModelIndexList found =
            model()->match(model()->index(0, 0), LinksModel::LinkRole, link, 1, Qt::MatchExactly);
        return found.value(0);
    }
    // A click on the copy button drawn on the card of `link`.
    void clickCopyButtonOf(const QString &link)
    {
        const QModelIndex card = cardFor(link);
        QVERIFY(card.isValid());
        list()->scrollTo(card);
        const QRect button = list()->cardDelegate()->copyButtonRect(list()->visualRect(card), card);
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, button.center());
    }
    bool emptyStateShown() const
    {
        for (QLabel *label : view.findChildren<QLabel *>()) {
            if (label->text() == QStringLiteral("Aún no hay enlaces generados"))
                return label->isVisible();
        }
        return false;
    }
};

QString clipboardText()
{
    return QGuiApplication::clipboard()->text();
}

} // namespace

class TestLinksView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A failed pair's card says what happened and what to do; its details hold rclone's lines.
    // Its press action, as a screen reader gives it, or a click on "Reintentar", copies and
    // links that pair again, and the card becomes its link, whose press action copies it.
    void failedPairIsExplainedAndRetriedFromItsCard()
    {
        FakeRclone fake;
        fake.setHandler("case \"$3\" in link) echo \"https://l/$4\" ;; esac\n");
        Screen screen(fake.paths());
        GeneratedLinks &links = screen.links;
        PairOutcome failed;
        failed.service = "Dropbox";
        failed.remote = "dropbox";
        failed.fileName = "a.txt";
        failed.localPath = "/datos/a.txt";
        failed.state = PairState::CopiaFallida;
        failed.detail = "2026/12/05 17:06:12 Failed to copy: no";
        failed.rcloneOutput = "ERROR : a.txt: too_many_requests\n" + failed.detail;
        failed.cause = "demasiadas_peticiones";
        links.record(failed);

        const QModelIndex card = screen.model()->index(1, 0);
        const QString explanation = "Dropbox ha recibido demasiadas peticiones seguidas. Espera "
                                    "unos minutos y vuelve a intentarlo.";
        QCOMPARE(card.data(LinksModel::ExplanationRole).toString(), explanation);
        QAccessibleInterface *list = QAccessible::queryAccessibleInterface(screen.list());
        QCOMPARE(list->role(), QAccessible::List);
        QCOMPARE(list->childCount(), 2);
        QCOMPARE(list->child(0)->role(), QAccessible::Heading);
        QAccessibleInterface *item = list->child(1);
        QCOMPARE(item->role(), QAccessible::ListItem);
        QCOMPARE(item->text(QAccessible::Name), QStringLiteral("a.txt"));
        QCOMPARE(item->text(QAccessible::Description), "⚠️ La copia falló. " + explanation);
        QVERIFY(item->state().expandable && !item->state().expanded);

        // The card grows to show rclone's lines and shrinks back.
        const int closedHeight = screen.list()->visualRect(card).height();
        item->actionInterface()->doAction("expand");
        QVERIFY(item->state().expanded);
        QVERIFY(item->text(QAccessible::Description).endsWith(failed.rcloneOutput));
        QTRY_VERIFY(screen.list()->visualRect(card).height() > closedHeight);
        screen.list()->setFocus();
        screen.list()->setCurrentIndex(card);
        QTest::keyClick(screen.list(), Qt::Key_Left);
        QVERIFY(!item->state().expanded);
        QTRY_COMPARE(screen.list()->visualRect(card).height(), closedHeight);

        QCOMPARE(
            item->actionInterface()->localizedActionName(QAccessibleActionInterface::pressAction()),
            QStringLiteral("Reintentar"));
        item->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QTRY_COMPARE(links.links().value("dropbox").first().state, PairState::Subido);
        QCOMPARE(links.links().value("dropbox").first().link,
                 QStringLiteral("https://l/dropbox:/a.txt"));
        QCOMPARE(fake.callCount(), 2); // one copy, one link
        item = list->child(1);
        QVERIFY(!item->state().expandable);
        QCOMPARE(
            item->actionInterface()->localizedActionName(QAccessibleActionInterface::pressAction()),
            QStringLiteral("Copiar enlace"));
        item->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(clipboardText(), QStringLiteral("https://l/dropbox:/a.txt"));
    }

    // "Reintentar fallidos", shown while a card has failed, tries every failed card again in one
    // run; each card takes its own outcome, and the button goes once nothing is left to retry.
    void retryFailedTriesEveryFailedCardInOneRun()
    {
        FakeRclone fake;
        fake.setHandler("case \"$3\" in link) echo \"https://l/$4\" ;; esac\n");
        Screen screen(fake.paths());
        screen.record({{"drive", {"ok.txt", "https://l/ok"}}});
        QPushButton *retryAll = screen.button(QStringLiteral("Reintentar fallidos"));
        QVERIFY(retryAll && !retryAll->isVisible());
        for (const QString service : {"Dropbox", "Google Drive"}) {
            PairOutcome failed;
            failed.service = service;
            failed.remote = service == "Dropbox" ? "dropbox" : "drive";
            failed.fileName = "a.txt";
            failed.localPath = "/datos/a.txt";
            failed.state = PairState::EnlaceFallido;
            screen.links.record(failed);
        }
        QVERIFY(retryAll->isVisible());
        QSignalSpy runs(&screen.runs, &UploadRuns::runStarted);
        QTest::mouseClick(retryAll, Qt::LeftButton);
        QCOMPARE(runs.size(), 1);
        QTRY_VERIFY(!retryAll->isVisible());
        QCOMPARE(screen.links.links().value("dropbox").first().link,
                 QStringLiteral("https://l/dropbox:/a.txt"));
        QCOMPARE(screen.links.links().value("drive").last().link,
                 QStringLiteral("https://l/drive:/a.txt"));
        QCOMPARE(fake.callCount(), 4); // a copy and a link for each
    }

    void sectionsInKeyOrder_data()
    {
        QTest::addColumn<Recorded>("recorded");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("keys shown in character order, each with its image")
            << Recorded{{"mega", {"m.zip", "M"}},
                        {"drive", {"d1.txt", "D1"}},
                        {"fichier", {"f.pdf", "F"}},
                        {"drive", {"d2.txt", "D2"}}}
            << QStringList{
                   "# Drive [googledrive]", "d1.txt", "d2.txt", "# Fichier [fichier]", "f.pdf",
                   "# Mega [mega]",         "m.zip"};
        QTest::newRow("other remotes after the services, by their own names, with one image")
            << Recorded{{"nube casa", {"n.txt", "N"}},
                        {"mega", {"m.zip", "M"}},
                        {"Archivo", {"a.txt", "A"}},
                        {"DROPBOX", {"b.txt", "B"}}}
            << QStringList{"# Mega [mega]",
                           "m.zip",
                           "# Archivo [cloud.square.fill]",
                           "a.txt",
                           "# DROPBOX [cloud.square.fill]",
                           "b.txt",
                           "# nube casa [cloud.square.fill]",
                           "n.txt"};
        QTest::newRow("two cards may share a file name")
            << Recorded{{"drive", {"same.txt", "S1"}}, {"drive", {"same.txt", "S2"}}}
            << QStringList{"# Drive [googledrive]", "same.txt", "same.txt"};
    }

    void sectionsInKeyOrder()
    {
        QFETCH(Recorded, recorded);
        QFETCH(QStringList, rows);
        Screen screen;
        screen.record(recorded);
        QCOMPARE(screen.shownRows(), rows);
        QVERIFY(!screen.emptyStateShown());
    }

    // One card's button, by mouse and by keyboard, copies its link; "Copiar Todo" copies every
    // link, section after section, without a final line feed.
    void copyingLinks()
    {
        Screen screen;
        screen.record({{"mega", {"b.txt", "https://mega/b"}},
                       {"drive", {"a.txt", "https://drive/a"}},
                       {"mega", {"c.txt", "https://mega/c"}}});

        screen.clickCopyButtonOf(QStringLiteral("https://mega/c"));
        QCOMPARE(clipboardText(), QStringLiteral("https://mega/c"));
        QVERIFY(screen.toast()->isVisible());
        QCOMPARE(screen.toast()->text(), QStringLiteral("📋 Enlace copiado"));
        QTRY_COMPARE(screen.toast()->geometry().bottom() + 1, screen.view.height() - 12);
        QCOMPARE(coveredControls(&screen.view, screen.toast()), QStringList());

        // From the keyboard: the first card, then Return; the next card, then Space.
        screen.list()->setFocus();
        QTest::keyClick(screen.list(), Qt::Key_Home);
        QTest::keyClick(screen.list(), Qt::Key_Return);
        QCOMPARE(clipboardText(), QStringLiteral("https://drive/a"));
        QTest::keyClick(screen.list(), Qt::Key_Down);
        QTest::keyClick(screen.list(), Qt::Key_Space);
        QCOMPARE(clipboardText(), QStringLiteral("https://mega/b"));

        QTest::mouseClick(screen.button(QStringLiteral("Copiar Todo")), Qt::LeftButton);
        QCOMPARE(clipboardText(),
                 QStringLiteral("https://drive/a\nhttps://mega/b\nhttps://mega/c"));
        QCOMPARE(screen.toast()->text(), QStringLiteral("📋 Enlaces copiados"));
    }

    void noticeHidesWhenTheFirstOfTwoCopiesEnds()
    {
        Screen screen;
        screen.record({{"drive", {"a.txt", "A"}}, {"drive", {"b.txt", "B"}}});
        LinksState *state = screen.view.state();
        QList<bool> changes;
        connect(state, &LinksState::showToastChanged, this, [&](bool shown) { changes << shown; });

        // The first copy's hiding is due at once, the second's in an hour: a later copy that
        // extended the notice would keep it up.
        state->setToastMs(0);
        state->copyLink(QStringLiteral("https://drive/a"));
        state->setToastMs(3600 * 1000);
        state->copyLink(QStringLiteral("https://drive/b"));
        QVERIFY(screen.toast()->isVisible());
        QTRY_VERIFY(!screen.toast()->isVisible());
        QCOMPARE(changes, (QList<bool>{true, false}));
    }

    void clearAll_data()
    {
        QTest::addColumn<QString>("answer"); // a button's text, or "Escape"
        QTest::addColumn<bool>("erased");
        QTest::newRow("Borrar Todo empties the shared links") << "Borrar Todo" << true;
        QTest::newRow("Cancelar keeps every link") << "Cancelar" << false;
        QTest::newRow("dismissing keeps every link") << "Escape" << false;
    }

    void clearAll()
    {
        QFETCH(QString, answer);
        QFETCH(bool, erased);
        Screen screen;
        screen.record({{"drive", {"a.txt", "A"}}, {"mega", {"b.txt", "B"}}});
        const int rows = screen.model()->rowCount();
        const LinksByRemote before = screen.links.links();

        QTest::mouseClick(screen.button(QStringLiteral("Limpiar Todo")), Qt::LeftButton);
        QVERIFY(screen.view.state()->showClearConfirmation());
        QMessageBox *box = openDialog(&screen.view);
        QVERIFY(box);
        QCOMPARE(seenInDialog(box),
                 (QStringList{"¿Estás seguro de que quieres borrar todos los enlaces?", "",
                              "Borrar Todo", "Cancelar*"}));
        QCOMPARE(box->buttonRole(dialogButton(box, "Borrar Todo")), QMessageBox::DestructiveRole);
        QCOMPARE(box->buttonRole(dialogButton(box, "Cancelar")), QMessageBox::RejectRole);

        if (answer == QLatin1String("Escape"))
            QTest::keyClick(box, Qt::Key_Escape);
        else
            QVERIFY(clickDialogButton(box, answer));
        QTRY_VERIFY(!openDialog(&screen.view));
        QVERIFY(!screen.view.state()->showClearConfirmation());
        QCOMPARE(screen.links.links(), erased ? LinksByRemote{} : before);
        QCOMPARE(screen.emptyStateShown(), erased);
        QCOMPARE(screen.model()->rowCount(), erased ? 0 : rows);
    }

    void linksRecordedWhileShownAppearAtOnce()
    {
        Screen screen;
        QVERIFY(screen.emptyStateShown() && !screen.list()->isVisible());
        // Nothing to copy or clear until there is a link.
        const QList<QPushButton *> buttons{screen.button(QStringLiteral("Copiar Todo")),
                                           screen.button(QStringLiteral("Limpiar Todo"))};
        QVERIFY(!buttons[0]->isEnabled() && !buttons[1]->isEnabled());
        screen.record({{"mega", {"m.txt", "M"}}});
        QVERIFY(!screen.emptyStateShown());
        QVERIFY(buttons[0]->isEnabled() && buttons[1]->isEnabled());
        QCOMPARE(screen.shownRows(), (QStringList{"# Mega [mega]", "m.txt"}));

        screen.list()->setFocus();
        QTest::keyClick(screen.list(), Qt::Key_Home);
        screen.record({{"drive", {"d.txt", "D"}}, {"mega", {"n.txt", "N"}}});
        QCOMPARE(screen.shownRows(), (QStringList{"# Drive [googledrive]", "d.txt", "# Mega [mega]",
                                                  "m.txt", "n.txt"}));
        // The card the user was on stays current.
        QCOMPARE(screen.list()->currentIndex().data(LinksModel::LinkRole).toString(),
                 QStringLiteral("M"));
    }

    void thousandLinksArePaintedNotBuilt()
    {
        Screen screen;
        const int widgetsBefore = int(screen.view.findChildren<QWidget *>().size());
        QList<LinkItem> items;
        for (int i = 0; i < 1000; ++i)
            items.append({QStringLiteral("archivo-%1.bin").arg(i),
                          QStringLiteral("https://example.com/%1").arg(i)});
        QSignalSpy inserted(screen.model(), &QAbstractItemModel::rowsInserted);
        screen.links.appendAll("drive", items);
        QCOMPARE(inserted.size(), 1); // links added at once are one change of the list
        QCOMPARE(screen.model()->rowCount(), 1001);
        QCOMPARE(screen.model()->index(1000, 0).data(LinksModel::LinkRole).toString(),
                 items.last().link);
        QCOMPARE(int(screen.view.findChildren<QWidget *>().size()), widgetsBefore);

        QScrollBar *bar = screen.list()->verticalScrollBar();
        const QModelIndex last = screen.model()->index(1000, 0);
        // Laid out a batch per turn of the event loop: done when the last card has its place.
        QTRY_VERIFY(screen.list()->visualRect(last).isValid() && bar->maximum() > 0);
        bar->setValue(bar->maximum());
        QVERIFY(screen.list()->viewport()->rect().intersects(screen.list()->visualRect(last)));
    }
};

QTEST_MAIN(TestLinksView)
#include "test_links_view.moc"
