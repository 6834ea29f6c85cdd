// SPDX-License-Identifier: MIT
// End to end inside tools/sandbox, through the window as a user works it: a folder dropped on the
// upload screen, the four service pills and the two other remotes' pills and "Subir Archivos"
// clicked, and the real rclone copying to the sandbox's S3 server. Every link the links tab
// receives must download its file.
#include "Downloads.h"
#include "DropUrls.h"
#include "FakeRclone.h"
#include "RunSkyloft.h"
#include "TestHelpers.h"

#include "core/Settings.h"
#include "history/HistoryStore.h"
#include "screens/upload/DropZone.h"
#include "screens/upload/ServicePill.h"
#include "screens/upload/UploadView.h"
#include "shell/ContentView.h"
#include "shell/MainView.h"
#include "shell/MainWindow.h"
#include "shell/TabSelection.h"
#include "ui/StyledButton.h"
#include "upload/GeneratedLinks.h"
#include "upload/UploadRuns.h"
#include "upload/UploadState.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace skyloft;
using skyloft::test::Download;
using skyloft::test::downloadAll;
using skyloft::test::rcloneChildren;
using skyloft::test::running;
using skyloft::test::sorted;
using skyloft::test::writeFile;

namespace {

// A user's own names for the sandbox's service remotes, and the links section each one fills.
const QList<std::pair<QString, QString>> kRenamed{{"drive", "mi drive"},
                                                  {"dropbox", "caja dropbox"},
                                                  {"mega", "mega personal"},
                                                  {"fichier", "uno fichier"}};
const QStringList kServices{"Google Drive", "Dropbox", "Mega", "1Fichier"};
const QStringList kExtras{"archivo", "nube casa"};

QString renamedOf(const QString &remote)
{
    for (const auto &[original, renamed] : kRenamed) {
        if (original == remote)
            return renamed;
    }
    return {};
}

QByteArray randomBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator::global()->fillRange(reinterpret_cast<quint32 *>(bytes.data()), size / 4);
    return bytes;
}

} // namespace

class TestE2eWindow : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_resources;
    QTemporaryDir m_work;

private Q_SLOTS:
    void initTestCase()
    {
        const QString sandboxHome = qEnvironmentVariable("SKYLOFT_SANDBOX_HOME");
        if (sandboxHome.isEmpty())
            QFAIL("SKYLOFT_SANDBOX_HOME is not set: run this test through tools/sandbox");
        QCOMPARE(QDir::homePath(), sandboxHome);
        QVERIFY(m_resources.isValid() && m_work.isValid());
        QVERIFY(QFile::link(QStringLiteral(SKYLOFT_REAL_RCLONE),
                            m_resources.filePath(QStringLiteral("rclone"))));
        // The window's screens take the process's rclone: the real one, in a home of the user's
        // whose only rclone file is in rclone's default place, the services under names of their
        // own (chosen on their tiles), besides the sandbox's two other remotes.
        qputenv("SKYLOFT_RESOURCE_DIR", QFile::encodeName(m_resources.path()));
        QFile sandboxFile(sandboxHome + QStringLiteral("/.rclone.conf"));
        QVERIFY(sandboxFile.open(QIODevice::ReadOnly));
        QString config = QString::fromUtf8(sandboxFile.readAll());
        const QString home = m_work.filePath(QStringLiteral("casa"));
        qunsetenv("RCLONE_CONFIG");
        qputenv("HOME", QFile::encodeName(home));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + QStringLiteral("/.config")));
        Settings settings;
        for (qsizetype i = 0; i < kRenamed.size(); ++i) {
            const auto &[remote, renamed] = kRenamed.at(i);
            QVERIFY(config.contains('[' + remote + ']'));
            config.replace('[' + remote + ']', '[' + renamed + ']');
            settings.setChosenRemote(kServices.at(i), renamed);
        }
        QVERIFY(writeFile(home + QStringLiteral("/.config/rclone/rclone.conf"), config.toUtf8()));
    }

    // A dropped folder goes to all four services and both other remotes; each file gets one link
    // per destination, in queue order, the links tab comes up, and every link serves its file
    // byte for byte.
    void aDroppedFolderUploadsToEveryDestination()
    {
        QHash<QString, QByteArray> contents; // by file name
        const QString folder = m_work.filePath(QStringLiteral("carpeta de prueba ñ"));
        const QList<std::pair<QString, QByteArray>> files{
            {QStringLiteral("informe del año 2026.txt"), "Informe anual\nsegunda línea\n"},
            {QStringLiteral("cita \"doble\" y 'simple'.txt"), randomBytes(4096)},
            {QStringLiteral("sub carpeta/Ñandú ü ζωή – ç.bin"), randomBytes(100000)},
            {QStringLiteral("vacío.txt"), QByteArray()},
            {QStringLiteral("grande aleatorio.bin"), randomBytes(20 * 1024 * 1024)},
        };
        for (const auto &[relative, content] : files) {
            QVERIFY(writeFile(folder + QLatin1Char('/') + relative, content));
            contents.insert(QFileInfo(relative).fileName(), content);
        }
        QCOMPARE(QFileInfo(folder + QStringLiteral("/vacío.txt")).size(), 0);

        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        MainView *tabs = window.contentView()->mainView();
        UploadView *upload = tabs->uploadView();
        QCOMPARE(tabs->currentWidget(), upload);
        // The remotes count as authorized once the screen has scanned the file; the other
        // remotes' pills come once rclone has said which remotes can make public links.
        QTRY_COMPARE_WITH_TIMEOUT(upload->servicePills().size(), 6, 30000);
        const QList<ServicePill *> pills = upload->servicePills();
        QStringList names;
        for (ServicePill *pill : pills)
            names << pill->displayName();
        QCOMPARE(names, kServices + kExtras);
        QTRY_VERIFY_WITH_TIMEOUT(
            std::all_of(pills.cbegin(), pills.cend(),
                        [](ServicePill *pill) { return pill->isAuthorized(); }),
            10000);

        QVERIFY(skyloft::test::dropUrls(upload->dropZone(), {QUrl::fromLocalFile(folder)}));
        QTRY_COMPARE(upload->state()->archivosSeleccionados().size(), files.size());
        const QStringList queue = upload->state()->archivosSeleccionados();
        for (ServicePill *pill : pills)
            QTest::mouseClick(pill, Qt::LeftButton);
        QCOMPARE(upload->state()->serviciosSeleccionados().size(), pills.size());
        StyledButton *button = upload->uploadButton();
        QCOMPARE(button->text(), QStringLiteral("Subir Archivos"));
        QVERIFY(button->isVisible());

        const QDateTime started = QDateTime::currentDateTimeUtc().addSecs(-1);
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(upload->state()->isUploading());
        QTRY_COMPARE_WITH_TIMEOUT(tabs->currentIndex(), int(TabLinks), 240000);
        QVERIFY(!upload->state()->isUploading());

        QStringList expectedNames;
        for (const QString &path : queue)
            expectedNames << QFileInfo(path).fileName();
        const LinksByRemote &links = tabs->generatedLinks()->links();
        // The history holds the same pairs and links as the links tab.
        QStringList session;
        QStringList recorded;
        for (auto it = links.cbegin(); it != links.cend(); ++it) {
            for (const LinkItem &item : it.value())
                session << item.remote + '|' + item.fileName + '|' + item.link;
        }
        for (const HistoryEntry &entry : window.history()->entries(started))
            recorded << entry.pair.remote + '|' + entry.pair.fileName + '|' + entry.pair.link;
        QCOMPARE(sorted(recorded), sorted(session));
        QStringList sections = kExtras;
        for (const auto &[remote, renamed] : kRenamed)
            sections << remote;
        QCOMPARE(links.keys(), sorted(sections));
        QList<QUrl> urls;
        QList<QByteArray> expectedBodies;
        QStringList where;
        for (auto it = links.cbegin(); it != links.cend(); ++it) {
            QStringList names;
            // Each section's files went to the remote that serves it, and so to its bucket.
            const QString remote = kExtras.contains(it.key()) ? it.key() : renamedOf(it.key());
            const QString bucket = "/skyloft-" + QString(it.key()).replace(' ', '-') + '/';
            for (const LinkItem &item : it.value()) {
                QCOMPARE(item.remote, remote);
                QVERIFY2(QUrl(item.link).path().startsWith(bucket), qPrintable(item.link));
                names << item.fileName;
                QVERIFY2(!item.link.isEmpty(),
                         qPrintable(it.key() + QLatin1Char('/') + item.fileName));
                urls << QUrl(item.link);
                expectedBodies << contents.value(item.fileName);
                where << it.key() + QLatin1Char('/') + item.fileName + QStringLiteral(": ") +
                             item.link;
            }
            QCOMPARE(names, expectedNames);
        }

        const QList<Download> downloads = downloadAll(urls, 60000);
        for (qsizetype i = 0; i < downloads.size(); ++i) {
            QVERIFY2(downloads.at(i).error.isEmpty(),
                     qPrintable(where.at(i) + QStringLiteral(" -> ") + downloads.at(i).error));
            QVERIFY2(downloads.at(i).body == expectedBodies.at(i),
                     qPrintable(where.at(i) + QStringLiteral(": %1 bytes downloaded, %2 expected")
                                                  .arg(downloads.at(i).body.size())
                                                  .arg(expectedBodies.at(i).size())));
        }
    }

    void cancelAllEndsEveryChild_data()
    {
        QTest::addColumn<int>("engine");
        QTest::newRow("procesos") << int(UploadRun::Engine::Processes);
        QTest::newRow("rápido") << int(UploadRun::Engine::Daemon);
    }
    // "Cancelar todo" while a slow copy moves: by the time the click returns no rclone child of
    // the window is left, every pair has its row, and the queue keeps each file not uploaded to
    // every service.
    void cancelAllEndsEveryChild()
    {
        QFETCH(int, engine);
        const QString folder = m_work.filePath(QStringLiteral("cancelar %1").arg(engine));
        const QStringList files{folder + QStringLiteral("/grande.bin"),
                                folder + QStringLiteral("/pequeño.txt")};
        QVERIFY(writeFile(files.at(0), randomBytes(30 * 1024 * 1024)));
        QVERIFY(writeFile(files.at(1), "poco"));
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        UploadView *upload = window.contentView()->mainView()->uploadView();
        UploadRuns *runs = window.contentView()->mainView()->uploadRuns();
        runs->setEngine(UploadRun::Engine(engine));
        runs->setBandwidthLimit(QStringLiteral("1M"));
        QTRY_COMPARE_WITH_TIMEOUT(upload->servicePills().size(), 6, 30000);
        QTRY_VERIFY_WITH_TIMEOUT(upload->servicePills().at(1)->isAuthorized(), 10000);
        QVERIFY(skyloft::test::dropUrls(upload->dropZone(), {QUrl::fromLocalFile(files.at(0)),
                                                             QUrl::fromLocalFile(files.at(1))}));
        QTRY_COMPARE(upload->state()->archivosSeleccionados(), files);
        for (ServicePill *pill : upload->servicePills().mid(0, 2))
            QTest::mouseClick(pill, Qt::LeftButton);
        const QDateTime started = QDateTime::currentDateTimeUtc().addSecs(-1);
        QTest::mouseClick(upload->uploadButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(
            upload->state()->transfers().value(QStringLiteral("Google Drive")).bytesDone > 0,
            60000);

        QTest::mouseClick(upload->cancelAllButton(), Qt::LeftButton);
        for (const pid_t child : rcloneChildren(QCoreApplication::applicationPid()))
            QVERIFY2(!running(child), qPrintable(QString::number(child)));
        QVERIFY(upload->uploadButton()->isVisible());
        QStringList unfinished;
        QStringList rows;
        for (const HistoryEntry &entry : window.history()->entries(started)) {
            if (!files.contains(entry.pair.localPath))
                continue;
            rows << entry.pair.service + '|' + QFileInfo(entry.pair.localPath).fileName() + '|' +
                        pairStateText(entry.pair.state);
            if (entry.pair.state != PairState::Subido && !unfinished.contains(entry.pair.localPath))
                unfinished << entry.pair.localPath;
        }
        QCOMPARE(rows.size(), 4);
        QVERIFY2(rows.contains("Google Drive|grande.bin|cancelado"), qPrintable(rows.join(' ')));
        QCOMPARE(sorted(upload->state()->archivosSeleccionados()), sorted(unfinished));
    }
};

QTEST_MAIN(TestE2eWindow)
#include "test_e2e_window.moc"
