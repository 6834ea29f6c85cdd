// SPDX-License-Identifier: MIT
#include "ServedOnBus.h"
#include "screens/upload/FileChooser.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <optional>

using namespace skyloft;

namespace {

// The desktop portal's file chooser, as xdg-desktop-portal serves it, on a connection of its own:
// it notes what it was asked and answers on the request's path with `code` and `uris`.
class FakeFileChooser : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.FileChooser")
public:
    explicit FakeFileChooser(const QString &connectionName)
        : served(connectionName, "org.freedesktop.portal.Desktop",
                 "/org/freedesktop/portal/desktop", this)
    {}

    skyloft::test::ServedOnBus served;
    uint code = 0;
    QStringList uris;
    QStringList asked; // "title|multiple|directory|accept label"

public Q_SLOTS:
    Q_SCRIPTABLE QDBusObjectPath OpenFile(const QString &, const QString &title,
                                          const QVariantMap &options, const QDBusMessage &call)
    {
        asked << QStringList{title, options.value("multiple").toString(),
                             options.value("directory").toString(),
                             options.value("accept_label").toString()}
                     .join('|');
        QString sender = call.service().mid(1);
        sender.replace('.', '_');
        const QString path = "/org/freedesktop/portal/desktop/request/" + sender + '/' +
                             options.value("handle_token").toString();
        // The answer comes once the user has chosen, after the call returned.
        QTimer::singleShot(0, this, [this, path] {
            QDBusMessage response =
                QDBusMessage::createSignal(path, "org.freedesktop.portal.Request", "Response");
            response << code << QVariantMap{{"uris", uris}};
            served.bus.send(response);
        });
        return QDBusObjectPath(path);
    }
};

} // namespace

class TestFileChooser : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(),
                 "run this test inside dbus-run-session");
    }

    void theDesktopPortalAsks_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<uint>("code");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<QStringList>("chosen"); // none: onChosen is not called
        QTest::newRow("several files")
            << int(ChooserKind::Files) << 0u << "Elegir archivos|true|false|Elegir"
            << QStringList{"/datos/a b.txt", "/datos/ñ.pdf"};
        QTest::newRow("a folder") << int(ChooserKind::Folder) << 0u
                                  << "Elegir carpeta|false|true|Elegir"
                                  << QStringList{"/datos/Fotos"};
        QTest::newRow("cancelled") << int(ChooserKind::Files) << 1u
                                   << "Elegir archivos|true|false|Elegir" << QStringList{};
    }
    void theDesktopPortalAsks()
    {
        QFETCH(int, kind);
        QFETCH(uint, code);
        QFETCH(QString, asked);
        QFETCH(QStringList, chosen);
        FakeFileChooser portal(QTest::currentDataTag());
        QVERIFY(portal.served.running);
        portal.code = code;
        for (const QString &path : chosen)
            portal.uris << QUrl::fromLocalFile(path).toString();
        QWidget window;
        std::optional<QStringList> got;
        desktopFileChooser()(&window, ChooserKind(kind),
                             [&](const QStringList &paths) { got = paths; });
        QTRY_COMPARE(portal.asked, QStringList{asked});
        if (chosen.isEmpty()) {
            // Nothing is queued and no other dialog opens: the answer has come and gone.
            QTRY_VERIFY(!window.findChild<QObject *>());
            QVERIFY(!got);
        } else {
            QTRY_VERIFY(got);
            QCOMPARE(*got, chosen);
        }
    }

    // Without a portal the dialog is Qt's, for files or for one folder.
    void withoutAPortalQtsDialogServes()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("Fotos"));
        QWidget parent;
        desktopFileChooser()(&parent, ChooserKind::Files, [](const QStringList &) {});
        QTRY_VERIFY(parent.findChild<QFileDialog *>());
        QFileDialog *files = parent.findChild<QFileDialog *>();
        QCOMPARE(files->fileMode(), QFileDialog::ExistingFiles);
        files->close();
        QTRY_VERIFY(!parent.findChild<QFileDialog *>());

        QStringList chosen;
        desktopFileChooser()(&parent, ChooserKind::Folder,
                             [&](const QStringList &paths) { chosen = paths; });
        QTRY_VERIFY(parent.findChild<QFileDialog *>());
        QFileDialog *folder = parent.findChild<QFileDialog *>();
        QCOMPARE(folder->fileMode(), QFileDialog::Directory);
        // In Qt's dialog a folder is chosen from inside it.
        folder->setDirectory(dir.filePath("Fotos"));
        auto *buttons = folder->findChild<QDialogButtonBox *>();
        QVERIFY(buttons);
        QTest::mouseClick(buttons->button(QDialogButtonBox::Open), Qt::LeftButton);
        QCOMPARE(chosen, QStringList{dir.filePath("Fotos")});
    }
};

QTEST_MAIN(TestFileChooser)
#include "test_file_chooser.moc"
