// SPDX-License-Identifier: MIT
#include "FakeRclone.h"
#include "TestHelpers.h"

#include <QProcess>
#include <QTest>

using namespace skyloft;
using skyloft::test::FakeRclone;
using skyloft::test::kDriveAndDropbox;
using skyloft::test::writeFile;

namespace {

struct Outcome
{
    int exitCode = -1;
    QStringList out;
    QString err;
};

// Runs the built program in `workDir` with the given home and resource folder.
Outcome runSkyloft(const QStringList &arguments, const QString &home, const QString &resources,
                   const QString &workDir)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", home);
    environment.insert("SKYLOFT_RESOURCE_DIR", resources);
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(workDir);
    process.start(QStringLiteral(SKYLOFT_BIN_DIR "/skyloft"), arguments);
    Outcome outcome;
    if (!process.waitForFinished(60000))
        return outcome;
    outcome.exitCode = process.exitCode();
    outcome.out = QString::fromUtf8(process.readAllStandardOutput()).split('\n');
    if (outcome.out.last().isEmpty())
        outcome.out.removeLast();
    outcome.err = QString::fromUtf8(process.readAllStandardError());
    return outcome;
}

} // namespace

class TestHeadlessUpload : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void upload_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<QString>("linkHandler"); // the answer of `rclone link`
        QTest::addColumn<int>("exitCode");
        // The last link lines; with status 2 the first error lines.
        QTest::addColumn<QStringList>("lastLines");

        const QString answer = QStringLiteral("echo \"https://links.example/$4\"");
        QTest::newRow("links of every copy after the diagnostics: status 0")
            << QStringList{"upload", "--to", "Dropbox", "carpeta", "--to", "Google Drive", "b.txt"}
            << kDriveAndDropbox << answer << 0
            << QStringList{"drive\ta.txt\thttps://links.example/drive:/a.txt",
                           "drive\tb.txt\thttps://links.example/drive:/b.txt",
                           "dropbox\ta.txt\thttps://links.example/dropbox:/a.txt",
                           "dropbox\tb.txt\thttps://links.example/dropbox:/b.txt"};
        QTest::newRow("an empty link: status 1")
            << QStringList{"upload", "--to", "Google Drive", "--to", "Dropbox", "b.txt"}
            << kDriveAndDropbox << QStringLiteral("[ \"$4\" = dropbox:/b.txt ] || %1").arg(answer)
            << 1
            << QStringList{"drive\tb.txt\thttps://links.example/drive:/b.txt", "dropbox\tb.txt\t"};
        QTest::newRow("a link that cannot be had: status 1")
            << QStringList{"upload", "--to", "Dropbox", "b.txt"} << kDriveAndDropbox
            << "printf '\\377\\n'" << 1 << QStringList{};
        QTest::newRow("a selected service not authorized: status 2, nothing runs")
            << QStringList{"upload", "--to", "Google Drive", "--to", "Mega", "b.txt"}
            << kDriveAndDropbox << answer << 2
            << QStringList{"🚫 Servicio no autorizado",
                           "Tiene que autorizar al menos uno de los servicios seleccionados "
                           "para subir archivos."};
        QTest::newRow("no configuration file: nothing is authorized")
            << QStringList{"upload", "--to", "Dropbox", "b.txt"} << QByteArray() << answer << 2
            << QStringList{"🚫 Servicio no autorizado",
                           "Tiene que autorizar al menos uno de los servicios seleccionados "
                           "para subir archivos."};
        QTest::newRow("unknown service: usage error")
            << QStringList{"upload", "--to", "OneDrive", "b.txt"} << kDriveAndDropbox << answer << 2
            << QStringList{};
        QTest::newRow("no paths: usage error") << QStringList{"upload", "--to", "Dropbox"}
                                               << kDriveAndDropbox << answer << 2 << QStringList{};
        QTest::newRow("no service: usage error")
            << QStringList{"upload", "b.txt"} << kDriveAndDropbox << answer << 2 << QStringList{};
    }

    void upload()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, config);
        QFETCH(QString, linkHandler);
        QFETCH(int, exitCode);
        QFETCH(QStringList, lastLines);

        FakeRclone fake;
        QVERIFY(fake.isValid());
        fake.setHandler("case \"$3\" in\n"
                        "copy) echo 'Transferred: 1 B / 1 B, 100%' ;;\n"
                        "link) " +
                        linkHandler + " ;;\nesac\n");
        if (!config.isEmpty())
            QVERIFY(writeFile(fake.configPath(), config));
        const QString work = fake.home() + "/trabajo";
        QVERIFY(writeFile(work + "/carpeta/a.txt", "a"));
        QVERIFY(writeFile(work + "/b.txt", "b"));

        const Outcome outcome = runSkyloft(arguments, fake.home(), fake.resourceDir(), work);
        QCOMPARE(outcome.exitCode, exitCode);
        if (exitCode == 2) {
            QCOMPARE(fake.callCount(), 0);
            QCOMPARE(outcome.err.split('\n').mid(0, lastLines.size()), lastLines);
            return;
        }
        const QStringList &out = outcome.out;
        QVERIFY(out.size() > lastLines.size());
        QCOMPARE(out.mid(out.size() - lastLines.size()), lastLines);
        QCOMPARE(out.at(out.size() - lastLines.size() - 1),
                 QStringLiteral("✅ Todas las subidas completadas"));
        // The same lines as on the screen, paths made absolute.
        QVERIFY(out.contains("✅ Dropbox autorizado con token/API."));
        QVERIFY(out.contains("📄 Archivo individual agregado: " + work + "/b.txt"));
    }
};

QTEST_GUILESS_MAIN(TestHeadlessUpload)
#include "test_headless_upload.moc"
