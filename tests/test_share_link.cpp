// SPDX-License-Identifier: MIT
#include "CapturedStdout.h"
#include "FakeRclone.h"

#include "upload/GeneratedLinks.h"
#include "upload/CopyJob.h"
#include "upload/ShareLink.h"

#include <QTest>

using namespace skyloft;
using skyloft::test::CapturedStdout;
using skyloft::test::FakeRclone;
using skyloft::test::writeFile;

namespace {

CopyJob fichierJob(const QString &filePath)
{
    return CopyJob{"1Fichier", "fichier", 0, filePath, lastPathComponent(filePath), {}};
}

// Runs publishShareLink to its end and tells what it left.
struct Publication
{
    Publication(const RclonePaths &paths, const CopyJob &job, GeneratedLinks &links,
                const CapturedStdout &out)
    {
        QObject::connect(&links, &GeneratedLinks::appended, &owner,
                         [this, &out] { printedWhenRecorded = out.text(); });
        publishShareLink(&owner, paths, job, &links, [this, &links] {
            ++endings;
            recordedWhenEnded = links.links().value("fichier").size();
        });
        QTRY_COMPARE(endings, 1);
        QTest::qWait(20); // the queued record, and a second ending if there were one
    }
    QObject owner;
    int endings = 0;
    qsizetype recordedWhenEnded = -1;
    QString printedWhenRecorded;
};

} // namespace

class TestShareLink : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void linkOutput_data()
    {
        QTest::addColumn<QString>("handler");
        QTest::addColumn<bool>("recorded");
        QTest::addColumn<QString>("link");

        QTest::newRow("a link and a line feed: the line feed goes")
            << "echo 'https://1fichier.com/?abc'\n"
            << true << "https://1fichier.com/?abc";
        QTest::newRow("leading spaces and trailing blank lines go")
            << "printf '  \\t https://x/y \\n\\n\\n'\n"
            << true << "https://x/y";
        QTest::newRow("several lines stay, trimmed only at the ends") << "printf 'uno\\ndos\\n'\n"
                                                                      << true << "uno\ndos";
        QTest::newRow("an error only on standard error records the empty text")
            << "echo 'Failed to link: object not found' >&2; exit 4\n"
            << true << "";
        QTest::newRow("output larger than a pipe holds does not stall the child")
            << "head -c 300000 /dev/zero | tr '\\0' 'x'; echo\n"
            << true << QString(300000, 'x');
        QTest::newRow("output that is not UTF-8 records nothing") << "printf 'https://x/\\377\\n'\n"
                                                                  << false << "";
    }

    void linkOutput()
    {
        QFETCH(QString, handler);
        QFETCH(bool, recorded);
        QFETCH(QString, link);

        FakeRclone fake;
        QVERIFY(fake.isValid());
        fake.setHandler(handler);
        GeneratedLinks links;
        CapturedStdout out;
        Publication publication(fake.paths(), fichierJob("/tmp/a.txt"), links, out);

        QCOMPARE(fake.callCount(), 1); // its arguments: test_upload_run

        // The pair arrives after the run went on, and after its line was printed.
        QCOMPARE(publication.recordedWhenEnded, 0);
        if (recorded) {
            QCOMPARE(links.links(), (LinksByRemote{{"fichier", {{"a.txt", link}}}}));
            const QString line = "Enlace generado para a.txt en 1Fichier: " + link + "\n";
            QCOMPARE(publication.printedWhenRecorded.size(), line.size());
            QVERIFY(publication.printedWhenRecorded == line);
        } else {
            QVERIFY(links.links().isEmpty());
            QCOMPARE(out.lines(),
                     QStringList{"❌ No se pudo obtener el enlace para a.txt en 1Fichier"});
        }
    }

    void noLinkWithoutALaunchableRclone_data()
    {
        QTest::addColumn<bool>("notAProgram"); // else no rclone resource at all
        QTest::addColumn<QStringList>("linesBefore");
        QTest::newRow("no rclone resource: nothing started, one line") << false << QStringList{};
        QTest::newRow("a resource that cannot be launched")
            << true << QStringList{"❌ Error obteniendo URL: "};
    }

    void noLinkWithoutALaunchableRclone()
    {
        QFETCH(bool, notAProgram);
        QFETCH(QStringList, linesBefore);

        QTemporaryDir dir;
        if (notAProgram)
            QVERIFY(writeFile(dir.path() + "/rclone", "plain text"));
        GeneratedLinks links;
        CapturedStdout out;
        Publication publication(RclonePaths(dir.path(), dir.path()), fichierJob("/tmp/a.txt"),
                                links, out);
        QVERIFY(links.links().isEmpty());
        const QStringList lines = out.lines();
        QCOMPARE(lines.size(), linesBefore.size() + 1);
        for (qsizetype i = 0; i < linesBefore.size(); ++i) {
            QVERIFY2(lines.at(i).startsWith(linesBefore.at(i)), qPrintable(lines.at(i)));
            QVERIFY(lines.at(i).size() > linesBefore.at(i).size()); // the error's description
        }
        QCOMPARE(lines.last(),
                 QStringLiteral("❌ No se pudo obtener el enlace para a.txt en 1Fichier"));
    }

    void lastPathComponent_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::newRow("a file") << "/tmp/a b.txt"
                                << "a b.txt";
        QTest::newRow("a trailing slash is ignored") << "/tmp/carpeta//"
                                                     << "carpeta";
        QTest::newRow("a bare name") << "nombre"
                                     << "nombre";
        QTest::newRow("the root") << "/"
                                  << "/";
    }

    void lastPathComponent()
    {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QCOMPARE(skyloft::lastPathComponent(path), name);
    }
};

QTEST_GUILESS_MAIN(TestShareLink)
#include "test_share_link.moc"
