// SPDX-License-Identifier: MIT
#include "CapturedStdout.h"
#include "FakeRclone.h"
#include "TestHelpers.h"

#include "core/RcloneConfigFile.h"
#include "core/RclonePaths.h"
#include "core/ServiceCatalog.h"

#include <QDir>
#include <QFile>
#include <QProcess>
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
        QCOMPARE(linksSectionImageName("mega"), QStringLiteral("mega"));
        QCOMPARE(linksSectionImageName("MEGA"), QStringLiteral("cloud.square.fill"));
    }

    void configFileFoundAsRcloneFindsIt_data()
    {
        QTest::addColumn<QStringList>("existing"); // files made first, relative to the home
        QTest::addColumn<QString>("rcloneConfig");
        QTest::addColumn<QString>("xdgConfigHome");
        QTest::addColumn<QString>("expected");
        QTest::newRow("RCLONE_CONFIG wins over files that exist")
            << QStringList{".rclone.conf", ".config/rclone/rclone.conf"} << "mine/r.conf"
            << ""
            << "mine/r.conf";
        QTest::newRow("~/.rclone.conf when it is the only one") << QStringList{".rclone.conf"} << ""
                                                                << ""
                                                                << ".rclone.conf";
        QTest::newRow("rclone's own folder first when both exist")
            << QStringList{".rclone.conf", "xdg/rclone/rclone.conf"} << ""
            << "xdg"
            << "xdg/rclone/rclone.conf";
        QTest::newRow("none yet: rclone's own folder, under XDG_CONFIG_HOME")
            << QStringList{} << ""
            << "xdg"
            << "xdg/rclone/rclone.conf";
        QTest::newRow("none yet, no XDG_CONFIG_HOME: under ~/.config")
            << QStringList{} << ""
            << ""
            << ".config/rclone/rclone.conf";
    }

    // Compared with what the installed rclone itself answers, then created where it belongs.
    void configFileFoundAsRcloneFindsIt()
    {
        QFETCH(QStringList, existing);
        QFETCH(QString, rcloneConfig);
        QFETCH(QString, xdgConfigHome);
        QFETCH(QString, expected);
        QTemporaryDir home;
        for (const QString &file : existing)
            QVERIFY(writeFile(home.filePath(file), "[a]\ntype = alias\n"));
        QProcessEnvironment environment;
        environment.insert("HOME", home.path());
        environment.insert("PATH", "/usr/bin:/bin");
        if (!rcloneConfig.isEmpty())
            environment.insert("RCLONE_CONFIG", home.filePath(rcloneConfig));
        if (!xdgConfigHome.isEmpty())
            environment.insert("XDG_CONFIG_HOME", home.filePath(xdgConfigHome));

        const QString found = RclonePaths::findConfigPath(home.path(), environment);
        QCOMPARE(found, home.filePath(expected));
        QProcess rclone;
        rclone.setProcessEnvironment(environment);
        rclone.start(SKYLOFT_REAL_RCLONE, {"config", "file"});
        QVERIFY(rclone.waitForFinished(-1));
        QCOMPARE(QString::fromUtf8(rclone.readAllStandardOutput()).trimmed().section('\n', -1),
                 found);

        CapturedStdout out;
        RcloneConfigFile(found).ensureDefaultConfig();
        QCOMPARE(readFile(found), existing.contains(expected) ? QByteArray("[a]\ntype = alias\n")
                                                              : RcloneConfigFile::defaultContent());
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
        QTest::newRow("keys and values are trimmed, ':' separates too, case matters")
            << "  [ drive ]  \n  token=x  \n[mega]\nuser: ana\n[dropbox]\nToken = y\n"
            << QStringList{"google drive", "mega"} << QStringList{"drive", "mega"} << QStringList{};
        QTest::newRow("a commented or empty credential is none")
            << "# mis remotos\n[drive]\ntype = drive\n# token = pendiente\n[mega]\n"
               "  ; user = ana\n[fichier]\napi_key =\n"
            << QStringList{} << QStringList{}
            << QStringList{"⚠️ Google Drive tiene sección pero sin token/API.",
                           "❌ Dropbox no autorizado (sección no encontrada).",
                           "⚠️ Mega tiene sección pero sin token/API.",
                           "⚠️ 1Fichier tiene sección pero sin token/API."};
        QTest::newRow("a credential of the next section does not count")
            << "[dropbox]\ntype = dropbox\n\n[drive]\ntype = drive\ntoken = t\n"
            << QStringList{"google drive"} << QStringList{"drive"} << QStringList{};
        QTest::newRow("a section ends only at the next header; a header seen again continues it")
            << "[drive]\nscope = [x]\ntoken = t\n[mega]\ntype = mega\n[other]\n[mega]\nuser = a\n"
            << QStringList{"google drive", "mega"} << QStringList{"drive", "mega"} << QStringList{};
        QTest::newRow("a header inside a value is no header")
            << "[other]\ndescription = see [mega] user = me\n"
            << QStringList{} << QStringList{} << QStringList{};
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
        // rclone refuses these whole; Skyloft says why instead of calling services unauthorized.
        QTest::newRow("encrypted")
            << QByteArray("# Encrypted rclone configuration File\n\nRCLONE_ENCRYPT_V0:\nD/b4M0\n")
            << "Tu configuración de rclone está cifrada: Skyloft no puede leer sus remotos. Para "
               "usarla aquí, quita la contraseña con «rclone config» (opción «s» y luego «u») o "
               "indica otro archivo con la variable RCLONE_CONFIG.";
        QTest::newRow("a line that is neither a key nor a header")
            << QByteArray("[drive]\ntoken = t\n[mega\n")
            << "Tu configuración de rclone tiene una línea que rclone no entiende (línea 3: "
               "«[mega»). Corrígela con un editor de texto o con «rclone config».";
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
        for (auto variant : {ScanVariant::ConfigScreen, ScanVariant::UploadScreen}) {
            QString problem;
            QVERIFY(!RcloneConfigFile(path).refreshAuthorizations(
                variant, [&](const QString &) { added = true; }, &problem));
            // Only what rclone refuses is the user's to fix; a missing file is normal.
            QCOMPARE(problem, reason.startsWith("Tu configuración") ? reason : QString());
        }
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

    // A folder that cannot be made, even by root: its parent is a file.
    void ensureDefaultConfigReportsWhatItCannotDo()
    {
        QTemporaryDir home;
        QVERIFY(writeFile(home.filePath("plain"), ""));
        const QString folder = home.filePath("plain/rclone");
        CapturedStdout out;
        RcloneConfigFile(folder + "/rclone.conf").ensureDefaultConfig();
        const QStringList lines = out.lines();
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[1].startsWith("Error al crear el archivo de configuración predeterminado: "));
        const QString reading = "Error leyendo la carpeta " + folder + ": ";
        QVERIFY(lines[2].startsWith(reading));
        QVERIFY(lines[2].size() > reading.size());
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
