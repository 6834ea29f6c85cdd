// SPDX-License-Identifier: MIT
#include "FakeRclone.h"
#include "RunSkyloft.h"
#include "TestHelpers.h"

#include "core/RemoteDestinations.h"

#include <QSignalSpy>
#include <QTest>

using namespace skyloft;
using namespace skyloft::test;

namespace {

// rclone's answers for some remotes; for the others it fails, as a backend that cannot start.
const QString kAnswers =
    QStringLiteral("f() { printf '{\"Name\":\"%s\",\"Root\":\"%s\",\"Features\":{\"PublicLink\":%s,"
                   "\"BucketBased\":%s}}\\n' \"$@\"; }\n"
                   "case \"$5\" in\n"
                   "s3:) f s3 '' true true ;;\n"
                   "caja:|otra:) f s3 bucket true true ;;\n"
                   "disco:) f local /srv false false ;;\n"
                   "*) echo 'Failed to backend: empty token found' >&2; exit 1 ;;\n"
                   "esac\n");

QStringList names(const QList<Destination> &destinations)
{
    QStringList result;
    for (const Destination &destination : destinations)
        result << destination.name;
    return result;
}

} // namespace

class TestDestinations : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // rclone's word first; where it cannot tell, its documentation, through aliases. Remotes that
    // serve a service, cannot link, have no bucket or lack their token are not offered.
    void remotesThatCanLinkAreOffered()
    {
        FakeRclone fake;
        fake.setHandler(kAnswers);
        QVERIFY(writeFile(fake.configPath(), "[s3]\ntype = s3\n\n"
                                             "[caja]\ntype = alias\nremote = s3:bucket\n\n"
                                             "[disco]\ntype = local\n\n"
                                             "[nube]\ntype = pcloud\ntoken = t\n\n"
                                             "[box]\ntype = box\n\n"
                                             "[fotos]\ntype = alias\nremote = nube:Fotos\n\n"
                                             "[trabajo]\ntype = drive\ntoken = t\n"));
        RemoteDestinations destinations(fake.paths());
        QSignalSpy changed(&destinations, &RemoteDestinations::changed);
        destinations.refresh();
        QVERIFY(changed.wait());
        QVERIFY(destinations.isSettled());
        QCOMPARE(names(destinations.extraDestinations()), (QStringList{"caja", "nube", "fotos"}));
        const QList<RemoteLinkSupport> remotes = destinations.remotes();
        QCOMPARE(remotes.size(), 7);
        QCOMPARE(remotes[1], (RemoteLinkSupport{"caja", "alias", "s3", true, {}}));
        QCOMPARE(remotes[5].backend, QStringLiteral("pcloud"));
        QCOMPARE(remotes[6],
                 (RemoteLinkSupport{"trabajo", "drive", "drive", true, "Google Drive"}));
        QCOMPARE(fake.callCount(), 7);
        QCOMPARE(fake.calls().first().arguments.mid(2, 2), (QStringList{"backend", "features"}));

        // A change to the file is noticed; only the new or changed remotes are asked about.
        destinations.watchFile();
        QVERIFY(writeFile(fake.configPath(),
                          readFile(fake.configPath()) +
                              "\n[otra]\ntype = alias\nremote = s3:otra\n\n[disco]\ntype = local\n"
                              "description = otro\n"));
        QVERIFY(changed.wait());
        QTRY_VERIFY(destinations.isSettled());
        QCOMPARE(names(destinations.extraDestinations()),
                 (QStringList{"caja", "nube", "fotos", "otra"}));
        QCOMPARE(fake.callCount(), 9);
    }

    // `skyloft remotos`: every remote with what rclone said; a file rclone refuses is an error.
    void remotosCommand()
    {
        FakeRclone fake;
        fake.setHandler(kAnswers);
        QVERIFY(writeFile(fake.configPath(), "[caja]\ntype = alias\nremote = s3:bucket\n\n"
                                             "[disco]\ntype = local\n\n"
                                             "[mi drive]\ntype = drive\ntoken = t\n"));
        SkyloftRun run = runSkyloft({"remotos"}, fake.home(), fake.resourceDir());
        QVERIFY2(run.exitCode == 0, qPrintable(run.describe()));
        QCOMPARE(run.out, (QStringList{"remoto\ttipo\tenlaces\tservicio", "caja\talias\tsí\t",
                                       "disco\tlocal\tno\t", "mi drive\tdrive\tsí\tGoogle Drive"}));

        QVERIFY(writeFile(fake.configPath(), "RCLONE_ENCRYPT_V0:\nD/b4M0\n"));
        run = runSkyloft({"remotos", "--format", "json"}, fake.home(), fake.resourceDir());
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("Tu configuración de rclone está cifrada"), qPrintable(run.err));
        QCOMPARE(run.out, QStringList{});
    }
};

QTEST_GUILESS_MAIN(TestDestinations)
#include "test_destinations.moc"
