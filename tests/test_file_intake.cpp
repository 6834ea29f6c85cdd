// SPDX-License-Identifier: MIT
#include "CapturedStdout.h"
#include "FakeRclone.h"
#include "TestHelpers.h"

#include "upload/FileIntake.h"
#include "upload/UploadState.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <cstdio>
#include <sys/stat.h>

using namespace skyloft;
using namespace skyloft::test;

class TestFileIntake : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void droppedFolder_data()
    {
        QTest::addColumn<QStringList>("files"); // relative to the dropped folder
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QStringList>("queued");

        QTest::newRow("visible files at any depth, subfolders first; hidden ones and folders never")
            << QStringList{"uno.txt", ".oculto", "sub/dos.txt", "sub/mas/tres bis.txt",
                           ".carpeta/cuatro.txt"}
            << QStringList{"vacia"}
            << QStringList{"sub/mas/tres bis.txt", "sub/dos.txt", "uno.txt"};
        QStringList archivos;
        for (int i = 1; i <= 12; ++i)
            archivos << QString(i == 7 ? "Archivo-%1" : "archivo-%1").arg(i);
        QTest::newRow("natural name order per folder, case aside")
            << QStringList{"archivo-10",   "beta.txt",   "archivo-2", "archivo-1", "Alfa.txt",
                           "Archivo-7",    "archivo-12", "archivo-3", "archivo-9", "archivo-4",
                           "archivo-11",   "archivo-5",  "archivo-8", "archivo-6", "Zeta/z.txt",
                           "carpeta-10/x", "carpeta-9/y"}
            << QStringList{}
            << QStringList{"carpeta-9/y", "carpeta-10/x", "Zeta/z.txt", "Alfa.txt"} + archivos +
                   QStringList{"beta.txt"};
        QTest::newRow("only hidden files and empty folders: nothing")
            << QStringList{".a", ".b/c.txt"} << QStringList{"x", "y/z"} << QStringList{};
    }

    void droppedFolder()
    {
        QFETCH(QStringList, files);
        QFETCH(QStringList, folders);
        QFETCH(QStringList, queued);

        QTemporaryDir dir;
        const QString root = dir.path() + "/soltada";
        for (const QString &file : files)
            QVERIFY(writeFile(root + "/" + file, "x"));
        for (const QString &folder : folders)
            QVERIFY(QDir().mkpath(root + "/" + folder));
        UploadState state;
        CapturedStdout out;
        FileIntake::addDroppedPath(state, root);

        QStringList expected;
        QStringList lines;
        for (const QString &file : queued)
            expected << root + "/" + file;
        for (const QString &path : state.archivosSeleccionados())
            lines << "📂 Archivo agregado desde carpeta: " + path;
        QCOMPARE(state.archivosSeleccionados(), expected);
        QCOMPARE(out.lines(), lines); // one line per file, in queue order
    }

    void linkedFoldersAreNotEntered()
    {
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.path() + "/fuera/lejos.txt", "x"));
        QVERIFY(writeFile(dir.path() + "/soltada/cerca.txt", "x"));
        QVERIFY(QFile::link(dir.path() + "/fuera", dir.path() + "/soltada/enlace"));
        QVERIFY(QFile::link(dir.path() + "/fuera/lejos.txt", dir.path() + "/soltada/atajo.txt"));
        QVERIFY(QFile::link(dir.path() + "/nada", dir.path() + "/soltada/roto.txt"));
        UploadState state;
        FileIntake::addDroppedPath(state, dir.path() + "/soltada");
        // A link to a file is a file; a link to a folder and a dangling link are not.
        QCOMPARE(
            sorted(state.archivosSeleccionados()),
            (QStringList{dir.path() + "/soltada/atajo.txt", dir.path() + "/soltada/cerca.txt"}));
    }

    // rclone would wait on a FIFO for ever, and could not find a name that lost bytes: both are
    // refused by name, inside a folder and given by path, never left out without a word.
    void pathsThatCannotBeUploadedAreRefusedByName()
    {
        QTemporaryDir dir;
        const QString root = dir.path() + "/soltada";
        QVERIFY(writeFile(root + "/bien.txt", "x"));
        QCOMPARE(::mkfifo(QFile::encodeName(root + "/tubo").constData(), 0600), 0);
        const QByteArray badName = QFile::encodeName(root) + "/mal\xff.txt";
        FILE *bad = std::fopen(badName.constData(), "w");
        QVERIFY(bad);
        std::fclose(bad);
        UploadState state;
        CapturedStdout out;
        QList<FileIntake::Refused> refused = FileIntake::addDroppedPath(state, root);
        refused << FileIntake::addDroppedPath(state, root + "/tubo");
        refused << FileIntake::addCommandLinePaths(state, {""});

        QCOMPARE(state.archivosSeleccionados(), QStringList{root + "/bien.txt"});
        QStringList shown;
        for (const FileIntake::Refused &path : refused)
            shown << path.shown + " (" + path.reason + ")";
        const QString fifo = "no es un archivo normal (tubería, socket o dispositivo)";
        QCOMPARE(sorted(shown.mid(0, 2)),
                 sorted({root + "/tubo (" + fifo + ")",
                         root + "/mal\\xff.txt (el nombre no es UTF-8 válido)"}));
        QCOMPARE(shown.mid(2),
                 (QStringList{root + "/tubo (" + fifo + ")", "\"\" (la ruta está vacía)"}));
        QVERIFY(out.lines().contains("❌ No se puede subir " + root + "/tubo: " + fifo));
    }

    void individualPaths()
    {
        QTemporaryDir dir;
        const QString file = dir.path() + "/mi archivo ñ.txt";
        QVERIFY(writeFile(file, "x"));
        const QString missing = dir.path() + "/no existe.txt";
        UploadState state;
        QSignalSpy appended(&state, &UploadState::archivosAppended);
        CapturedStdout out;
        FileIntake::addDroppedPath(state, file);
        FileIntake::addDroppedUrl(state, QUrl::fromLocalFile(file)); // a drop decodes "%20"
        FileIntake::addDroppedPath(state, missing);
        FileIntake::addDroppedUrl(state, QUrl("https://example.com/a.txt"));

        QCOMPARE(state.archivosSeleccionados(), (QStringList{file, file, missing}));
        QCOMPARE(appended.size(), 3);
        QCOMPARE(out.lines(), (QStringList{"📄 Archivo individual agregado: " + file,
                                           "📄 Archivo individual agregado: " + file,
                                           "📄 Archivo individual agregado: " + missing}));
    }

    // Walked off the GUI thread: a huge folder arrives in a few batches, and a file dropped after
    // it stays after it.
    void aHugeFolderArrivesInBatchesInQueueOrder()
    {
        QTemporaryDir dir;
        for (int folder = 0; folder < 100; ++folder) {
            const QString path = dir.path() + QStringLiteral("/d%1/e").arg(folder);
            QVERIFY(QDir().mkpath(path));
            for (int file = 0; file < 100; ++file)
                QVERIFY(writeFile(path + QStringLiteral("/f%1.txt").arg(file), {}));
        }
        const QString single = dir.path() + QStringLiteral("/d0/e/f7.txt");
        UploadState state;
        QSignalSpy changes(&state, &UploadState::archivosSeleccionadosChanged);
        {
            CapturedStdout swallowed; // ten thousand lines would drown the log
            FileIntake::queueDroppedPaths(state, {dir.path()});
            FileIntake::queueDroppedUrl(state, QUrl::fromLocalFile(single));
            QCOMPARE(state.archivosSeleccionados().size(), 0);
            QTRY_COMPARE_WITH_TIMEOUT(state.archivosSeleccionados().size(), 10001, 60000);
        }
        QCOMPARE(state.archivosSeleccionados(),
                 FileIntake::folderFiles(dir.path()) + QStringList{single});
        QCOMPARE(changes.size(), 21); // batches of 500, then the file
    }
};

QTEST_GUILESS_MAIN(TestFileIntake)
#include "test_file_intake.moc"
