// SPDX-License-Identifier: MIT
#include "FakeRclone.h"
#include "TestHelpers.h"

#include "shell/LauncherEntry.h"
#include "shell/RunProgress.h"
#include "shell/TrayIcon.h"
#include "upload/UploadRuns.h"
#include "upload/UploadState.h"

#include <QDBusConnection>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>

using namespace skyloft;
using namespace skyloft::test;

namespace {

// A dock listening on its own connection: every Update it hears, as "uri|visible|percent".
class Dock : public QObject
{
    Q_OBJECT
public:
    QStringList heard;

public Q_SLOTS:
    void update(const QString &appUri, const QVariantMap &properties)
    {
        heard << QStringList{appUri, properties.value("progress-visible").toString(),
                             QString::number(qRound(properties.value("progress").toDouble() * 100))}
                     .join('|');
    }
};

} // namespace

class TestTaskbarProgress : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(),
                 "run this test inside dbus-run-session");
    }

    // A run to two services, each copy reporting half way, then its retry from the links tab:
    // the bar moves with the mean of the services and is cleared when each run ends; the tray's
    // tooltip says the same.
    void theTaskbarFollowsEveryRun()
    {
        QDBusConnection dockBus =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, "dock");
        Dock dock;
        QVERIFY(dockBus.connect({}, {}, "com.canonical.Unity.LauncherEntry", "Update", &dock,
                                SLOT(update(QString, QVariantMap))));
        FakeRclone fake;
        fake.setHandler("case \"$3\" in\n"
                        "copy) echo 'Transferred: 1 B / 2 B, 50%, 1 B/s, ETA 1s' ;;\n"
                        "link) echo \"https://l/$4\" ;;\nesac\n");
        QVERIFY(writeFile(fake.configPath(), kDriveAndDropbox));
        QVERIFY(writeFile(fake.home() + "/a.txt", "ab"));
        UploadState state;
        state.rescanAuthorizations(fake.configPath());
        state.appendArchivo(fake.home() + "/a.txt");
        state.toggleService("Google Drive");
        state.toggleService("Dropbox");
        UploadRuns runs(fake.paths());
        RunProgress progress(&runs);
        LauncherEntry entry;
        TrayIcon tray([] {});
        QStringList tooltips;
        connect(&progress, &RunProgress::changed, &entry, &LauncherEntry::setProgress);
        connect(&progress, &RunProgress::changed, &tray, [&](std::optional<double> value) {
            tray.setProgress(value);
            tooltips << tray.icon()->toolTip();
        });
        QList<PairOutcome> pairs;
        connect(&runs, &UploadRuns::pairFinished, this,
                [&](UploadRun *, const PairOutcome &pair) { pairs << pair; });
        QSignalSpy ended(&runs, &UploadRuns::runFinished);

        QVERIFY(runs.startUpload(&state));
        QVERIFY(ended.wait(3600000));
        QCOMPARE(pairs.size(), 2);
        QVERIFY(runs.retry(pairs, RunOrigin::LinksRetry));
        QVERIFY(ended.wait(3600000));
        const QString uri = "application://app.skyloft.Skyloft.desktop|";
        const QStringList heard{uri + "true|0",  uri + "true|25",  uri + "true|50",
                                uri + "true|75", uri + "true|100", uri + "false|0"};
        QTRY_COMPARE(dock.heard.size(), 2 * heard.size());
        QCOMPARE(dock.heard, heard + heard);
        const QStringList said{"Skyloft: subiendo, 0 %",   "Skyloft: subiendo, 25 %",
                               "Skyloft: subiendo, 50 %",  "Skyloft: subiendo, 75 %",
                               "Skyloft: subiendo, 100 %", "Skyloft"};
        QCOMPARE(tooltips, said + said);
        QDBusConnection::disconnectFromBus("dock");
    }
};

QTEST_MAIN(TestTaskbarProgress)
#include "test_taskbar_progress.moc"
