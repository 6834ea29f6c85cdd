// SPDX-License-Identifier: MIT
#include "CapturedStdout.h"
#include "FakeRclone.h"
#include "TestHelpers.h"

#include "core/RcloneConfigFile.h"
#include "core/ServiceCatalog.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

using namespace skyloft;
using skyloft::test::CapturedStdout;
using skyloft::test::readFile;
using skyloft::test::sorted;
using skyloft::test::writeFile;

class TestConfigFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void catalogNames()
    {
        QCOMPARE(remoteNameFor("1Fichier"), QStringLiteral("fichier"));
        QCOMPARE(remoteNameFor("Box"), QStringLiteral("box"));
        QCOMPARE(remoteNameFor("google drive"), QStringLiteral("googledrive"));
        // Only plain spaces go; other white space stays, and lower-casing is Unicode-aware.
        QCOMPARE(remoteNameFor(QStringLiteral("Ñu\tDrive\u00A0X Y")),
                 QStringLiteral("ñu\tdrive\u00A0xy"));

        // Names outside the catalog fall back (test_images draws every name in use).
        QCOMPARE(serviceIconName("OneDrive"), QStringLiteral("questionmark.circle"));
        QCOMPARE(linksSectionImageName("MEGA"), QStringLiteral("mega"));
        QCOMPARE(linksSectionImageName("box"), QStringLiteral("fichier"));
    }

    void scan_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<QStringList>("configEntries");
        QTest::addColumn<QStringList>("uploadEntries");
        QTest::addColumn<QStringList>("uploadLines");

        QTest::newRow("default file: three sections without credentials, no fichier section")
            << QString::fromUtf8(RcloneConfigFile::defaultContent()) << QStringList{}
            << QStringList{}
            << QStringList{"⚠️ Google Drive tiene sección pero sin token/API.",
                           "⚠️ Dropbox tiene sección pero sin token/API.",
                           "⚠️ Mega tiene sección pero sin token/API.",
                           "❌ 1Fichier no autorizado (sección no encontrada)."};
        QTest::newRow("a token line authorizes drive")
            << "[drive]\ntype = drive\ntoken = {\"access_token\":\"x\"}\n\n[dropbox]\ntype = "
               "dropbox\n"
            << QStringList{"google drive"} << QStringList{"drive"}
            << QStringList{"✅ Google Drive autorizado con token/API.",
                           "⚠️ Dropbox tiene sección pero sin token/API.",
                           "❌ Mega no autorizado (sección no encontrada).",
                           "❌ 1Fichier no autorizado (sección no encontrada)."};
        QTest::newRow("api_key and user count")
            << "[fichier]\ntype = fichier\napi_key = k\n\n[mega]\ntype = mega\nuser = a@b\n"
            << QStringList{"mega", "1fichier"} << QStringList{"mega", "fichier"} << QStringList{};
        QTest::newRow("no space before the equals sign, or a capital letter, does not count")
            << "[drive]\ntoken= x\nToken = y\n"
            << QStringList{} << QStringList{} << QStringList{};
        QTest::newRow("a credential of the next section does not count")
            << "[dropbox]\ntype = dropbox\n\n[drive]\ntype = drive\ntoken = t\n"
            << QStringList{"google drive"} << QStringList{"drive"} << QStringList{};
        QTest::newRow("a [ inside a value ends the section on the configuration screen only")
            << "[drive]\ntype = drive\nscope = [x]\ntoken = t\n"
            << QStringList{} << QStringList{"drive"} << QStringList{};
        QTest::newRow("a header inside another line starts the section")
            << "[other]\ndescription = see [mega] user = me\n"
            << QStringList{"mega"} << QStringList{"mega"} << QStringList{};
        QTest::newRow("the 1fichier section is not fichier's")
            << "[1fichier]\ntype = 1fichier\napi_key = k\n"
            << QStringList{} << QStringList{} << QStringList{};
    }

    void scan()
    {
        QFETCH(QString, content);
        QFETCH(QStringList, configEntries);
        QFETCH(QStringList, uploadEntries);
        QFETCH(QStringList, uploadLines);
        QTemporaryDir home;
        const QString path = home.path() + "/.rclone.conf";
        QVERIFY(writeFile(path, content.toUtf8()));
        const RcloneConfigFile file(path);

        QStringList config;
        QStringList upload;
        CapturedStdout out;
        QVERIFY(file.refreshAuthorizations(ScanVariant::ConfigScreen,
                                           [&](const QString &e) { config << e; }));
        QVERIFY(file.refreshAuthorizations(ScanVariant::UploadScreen,
                                           [&](const QString &e) { upload << e; }));
        QCOMPARE(sorted(config), sorted(configEntries));
        QCOMPARE(sorted(upload), sorted(uploadEntries));
        QCOMPARE(out.lines().size(), 8);
        if (!uploadLines.isEmpty())
            QCOMPARE(out.lines().mid(4), uploadLines);
    }

    void configScreenLines()
    {
        QTemporaryDir home;
        const QString path = home.path() + "/.rclone.conf";
        QVERIFY(writeFile(path, "[drive]\ntoken = t\n[dropbox]\n"));
        CapturedStdout out;
        RcloneConfigFile(path).refreshAuthorizations(ScanVariant::ConfigScreen, [](auto &) {});
        QCOMPARE(out.lines(), (QStringList{"✅ Google Drive autorizado (con credenciales).",
                                           "⚠️ Dropbox tiene sección pero no credenciales.",
                                           "❌ Mega no autorizado.", "❌ 1Fichier no autorizado."}));
    }

    void unreadableFileReportsNothing_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << QByteArray() << QString::fromLocal8Bit(std::strerror(ENOENT));
        QTest::newRow("not UTF-8")
            << QByteArray("[drive]\ntoken = \xff\xfe\n") << "no es texto UTF-8 válido";
        // Neither may hold start-up: a FIFO without a writer, and a device without an end.
        QTest::newRow("a FIFO") << QByteArray("fifo") << "no es un archivo normal";
        QTest::newRow("a link to /dev/zero") << QByteArray("zero") << "no es un archivo normal";
        QTest::newRow("over 1 MiB") << QByteArray(1024 * 1024 + 1, 'x') << "mide más de 1 MiB";
    }

    void unreadableFileReportsNothing()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        QTemporaryDir home;
        const QString path = home.path() + "/.rclone.conf";
        if (content == "fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (content == "zero")
            QVERIFY(QFile::link("/dev/zero", path));
        else if (!content.isEmpty())
            QVERIFY(writeFile(path, content));
        CapturedStdout out;
        bool added = false;
        for (auto variant : {ScanVariant::ConfigScreen, ScanVariant::UploadScreen})
            QVERIFY(!RcloneConfigFile(path).refreshAuthorizations(
                variant, [&](const QString &) { added = true; }));
        QVERIFY(!added);
        const QString message =
            "No se pudo leer el archivo de configuración para verificar autorizaciones.";
        const QString why = "⚠️ " + path + ": " + reason;
        QCOMPARE(out.lines(), (QStringList{message, why, message, why}));
    }

    // Created once, for its owner only; a file already there is never overwritten.
    void ensureDefaultConfigCreatesOnceOwnerOnly()
    {
        QTemporaryDir home;
        const QString path = home.path() + "/.rclone.conf";
        const RcloneConfigFile file(path);
        CapturedStdout out;
        file.ensureDefaultConfig();
        QCOMPARE(readFile(path), RcloneConfigFile::defaultContent());
        QCOMPARE(readFile(path).size(), 140);
        QCOMPARE(QFile::permissions(path) & 0x0777, QFile::ReadUser | QFile::WriteUser);
        QCOMPARE(QFile::permissions(path) & 0x7700,
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
        // Nothing left behind by the atomic write.
        QCOMPARE(
            QDir(home.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{".rclone.conf"});

        QVERIFY(writeFile(path, "x"));
        QVERIFY(writeFile(home.path() + "/with space \"q\"", ""));
        file.ensureDefaultConfig();
        QCOMPARE(readFile(path), QByteArray("x"));
        QStringList lines = out.lines();
        QVERIFY(lines.takeLast().contains("\"with space \"q\"\""));
        QCOMPARE(lines,
                 (QStringList{"Verificando archivo de configuración en: " + path,
                              "Se creó el archivo de configuración predeterminado en " + path,
                              "Contenido de la carpeta " + home.path() + ": [\".rclone.conf\"]",
                              "Verificando archivo de configuración en: " + path,
                              "El archivo de configuración ya existe."}));
    }

    void ensureDefaultConfigReportsWhatItCannotDo()
    {
        CapturedStdout out;
        RcloneConfigFile("/nonexistent-folder/.rclone.conf").ensureDefaultConfig();
        const QStringList lines = out.lines();
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[1].startsWith("Error al crear el archivo de configuración predeterminado: "));
        QVERIFY(lines[2].startsWith("Error leyendo la carpeta /nonexistent-folder: "));
        QVERIFY(lines[2].size() > QString("Error leyendo la carpeta /nonexistent-folder: ").size());
    }

    void diagnosticReport()
    {
        QTemporaryDir home;
        const QString path = home.path() + "/.rclone.conf";
        const RcloneConfigFile file(path);
        QCOMPARE(file.configDiagnosticReport(),
                 "Intentando leer el archivo de configuración en: " + path +
                     "\nEl archivo de configuración NO existe.\n");

        QVERIFY(writeFile(path, "[fichier]\napi_key = k"));
        QString report = file.configDiagnosticReport();
        QVERIFY2(report.startsWith("Intentando leer el archivo de configuración en: " + path +
                                   "\nEl archivo existe.\nContenido actual:\n[fichier]\napi_key = "
                                   "k\nAtributos: "),
                 qPrintable(report));
        QVERIFY(report.contains("21 bytes"));
        QVERIFY(report.endsWith("\n"));

        QVERIFY(writeFile(path, "\xff"));
        report = file.configDiagnosticReport();
        QVERIFY(report.contains("El archivo existe.\nNo se pudo leer el contenido.\nAtributos: "));
    }
};

QTEST_GUILESS_MAIN(TestConfigFile)
#include "test_config_file.moc"
