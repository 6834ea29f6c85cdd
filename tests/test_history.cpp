// SPDX-License-Identifier: MIT
#include "FakeRclone.h"
#include "OpenDialog.h"
#include "RunSkyloft.h"
#include "TestHelpers.h"

#include "history/HistoryStore.h"
#include "history/LinkExport.h"
#include "screens/history/HistoryModel.h"
#include "screens/history/HistoryWindow.h"
#include "screens/links/LinksView.h"
#include "ui/ExportButton.h"
#include "ui/QrCode.h"
#include "upload/GeneratedLinks.h"
#include "upload/UploadRuns.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

#include <sys/stat.h>

using namespace skyloft;
using namespace skyloft::test;

namespace {

PairOutcome pair(const QString &service, const QString &file, PairState state,
                 const QString &link = {})
{
    PairOutcome outcome{service, service.toLower().remove(' '),
                        file,    QStringLiteral("/home/ana/") + file,
                        1234,    link,
                        state,   state == PairState::Subido ? QString() : QStringLiteral("boom"),
                        0,       {},
                        {},      {}};
    if (state != PairState::Subido) {
        outcome.rcloneOutput = QStringLiteral("ERROR : boom\nFailed to copy: boom");
        outcome.cause = QStringLiteral("otro");
    }
    return outcome;
}

const QDateTime kMonday(QDate(2026, 3, 2), QTime(9, 30), Qt::UTC);

// Names a spreadsheet, a Markdown reader and a shell all find awkward.
const QList<PairOutcome> kRun = {
    pair("Google Drive", "informe, final \"v2\".pdf", PairState::Subido, "https://d/1?a=1&b=2"),
    pair("Google Drive", "dos\nlíneas [y] *más*.txt", PairState::Subido, "https://d/2"),
    pair("Dropbox", "foto \t'1'.jpg", PairState::EnlaceFallido),
    pair("Dropbox", "informe, final \"v2\".pdf", PairState::Subido, "https://x/3"),
    pair("1Fichier", "nada.bin", PairState::CopiaFallida),
};

QStringList rows(const QList<ExportedLink> &links)
{
    QStringList out;
    for (const ExportedLink &link : links)
        out << link.pair.service + '|' + link.pair.fileName + '|' + link.pair.link;
    return out;
}

// RFC 4180, read back independently of the writer.
QList<QStringList> parseCsv(const QString &text)
{
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    const auto next = [&text](qsizetype i) {
        return i + 1 < text.size() ? text.at(i + 1) : QChar();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == '"' && next(i) == '"')
                field += c, ++i;
            else if (c == '"')
                quoted = false;
            else
                field += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            record << field, field.clear();
        } else if (c == '\r' && next(i) == '\n') {
            record << field, field.clear();
            records << record, record.clear();
            ++i;
        } else {
            field += c;
        }
    }
    return records;
}

QStringList readBack(const QByteArray &bytes, ExportFormat format)
{
    const QString text = QString::fromUtf8(bytes);
    QStringList out;
    if (format == ExportFormat::Csv) {
        const QList<QStringList> records = parseCsv(text);
        if (records.value(0) != QStringList{"servicio", "archivo", "enlace", "fecha"})
            return {"bad header"};
        for (const QStringList &r : records.mid(1))
            out << r.value(0) + '|' + r.value(1) + '|' + r.value(2);
    } else if (format == ExportFormat::Json) {
        for (const QJsonValue &v : QJsonDocument::fromJson(bytes).array())
            out << v["service"].toString() + '|' + v["file"].toString() + '|' +
                       v["link"].toString();
    } else {
        // As a Markdown reader renders it: every list item must be one link, all its text.
        QTextDocument document;
        document.setMarkdown(text);
        QString service;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            if (block.blockFormat().headingLevel() == 2) {
                service = block.text();
            } else if (block.textList()) {
                QSet<QString> hrefs;
                for (auto it = block.begin(); !it.atEnd(); ++it)
                    hrefs << it.fragment().charFormat().anchorHref();
                out << service + '|' + block.text() + '|' +
                           (hrefs.size() == 1 ? *hrefs.begin() : QStringLiteral("not one link"));
            }
        }
    }
    return out;
}

// Names that a spreadsheet would run or that would break Markdown's list and link syntax.
const QList<PairOutcome> kHostile = {
    pair("Mega", "=cmd|' /C calc'!A0.txt", PairState::Subido, "https://m/1"),
    pair("Mega", "+1+1.txt", PairState::Subido, "https://m/2"),
    pair("Mega", "-1.txt", PairState::Subido, "https://m/3"),
    pair("Mega", "@SUM(A1).txt", PairState::Subido, "https://m/4"),
    pair("Mega", "\tx.txt", PairState::Subido, "https://m/5"),
    pair("Mega", "a|b](<https://evil/>) *c* `d` <b>e</b> &amp; ~~f~~\n| g |.txt", PairState::Subido,
         "https://m/6>x"),
};

// The permission bits, or -1 when there is no such file.
int fileMode(const QString &path)
{
    struct stat info = {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

} // namespace

class TestHistory : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        // The usual umask, under which a careless file is readable by every account.
        ::umask(022);
    }

    void aRunOutlivesTheStoreAndItsModel()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("a/b/historial.sqlite");
        {
            HistoryStore store(path);
            QVERIFY(store.problem().isEmpty());
            for (int i = 0; i < kRun.size(); ++i)
                QVERIFY(store.record(kRun.at(i), kMonday.addSecs(60 * i)));
        }
        HistoryStore reopened(path);
        QVERIFY(reopened.isPersistent());
        HistoryModel model(&reopened);
        QTRY_COMPARE(model.rowCount(), kRun.size());
        for (int i = 0; i < kRun.size(); ++i) {
            const HistoryEntry &entry = model.entryAt(i);
            QCOMPARE(entry.when, kMonday.addSecs(60 * i));
            const PairOutcome &got = entry.pair;
            const PairOutcome &want = kRun.at(i);
            QCOMPARE(
                QStringList({got.service, got.remote, got.fileName, got.localPath, got.link,
                             got.detail, pairStateText(got.state), got.cause, got.rcloneOutput}),
                QStringList({want.service, want.remote, want.fileName, want.localPath, want.link,
                             want.detail, pairStateText(want.state), want.cause,
                             want.rcloneOutput}));
            QCOMPARE(got.size, want.size);
        }
        QCOMPARE(reopened.entries(kMonday.addSecs(180)).size(), 2);

        // The model follows the store: a new pair appears, a deleted one goes.
        reopened.record(pair("Mega", "nuevo.txt", PairState::Subido, "https://m/9"), kMonday);
        QCOMPARE(model.entryAt(kRun.size()).pair.fileName, QStringLiteral("nuevo.txt"));
        QVERIFY(reopened.remove(model.entryAt(0).id));
        QCOMPARE(model.rowCount(), kRun.size());
        QCOMPARE(HistoryStore(path).entries().size(), kRun.size());
    }

    // A history written before failures had causes keeps its rows and takes the new ones.
    void anOlderHistoryIsBroughtUpToDate()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("historial.sqlite");
        {
            auto db = QSqlDatabase::addDatabase("QSQLITE", "older");
            db.setDatabaseName(path);
            QVERIFY(db.open());
            QSqlQuery query(db);
            QVERIFY(query.exec("CREATE TABLE subidas (id INTEGER PRIMARY KEY, fecha INTEGER NOT "
                               "NULL, servicio TEXT, remoto TEXT, archivo TEXT, ruta_local TEXT, "
                               "tamano INTEGER, enlace TEXT, estado TEXT, detalle TEXT)"));
            QVERIFY(query.exec("INSERT INTO subidas (fecha, servicio, archivo, estado, detalle) "
                               "VALUES (0, 'Dropbox', 'viejo.txt', 'copia fallida', 'boom')"));
            QVERIFY(query.exec("PRAGMA user_version = 1"));
        }
        QSqlDatabase::removeDatabase("older");
        HistoryStore store(path);
        QVERIFY2(store.problem().isEmpty(), qPrintable(store.problem()));
        QVERIFY(store.record(kRun.last(), kMonday));
        const QList<HistoryEntry> entries = store.entries();
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries.first().pair.fileName, QStringLiteral("viejo.txt"));
        QVERIFY(entries.first().pair.cause.isEmpty());
        QCOMPARE(entries.last().pair.cause, kRun.last().cause);
    }

    void anUnusableDatabaseIsSetAsideOnce_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("movedAside");
        QTest::newRow("random bytes") << QByteArray(5000, '\x7f') << true;
        QTest::newRow("a SQLite header over garbage")
            << QByteArray("SQLite format 3\0", 16) + QByteArray(4080, '\x01') << true;
        QTest::newRow("a database from a newer Skyloft") << QByteArray() << false;
    }
    void anUnusableDatabaseIsSetAsideOnce()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, movedAside);
        QTemporaryDir dir;
        const QString path = dir.filePath("historial.sqlite");
        if (content.isEmpty()) {
            HistoryStore(path).record(kRun.first(), kMonday);
            auto db = QSqlDatabase::addDatabase("QSQLITE", "newer");
            db.setDatabaseName(path);
            QVERIFY(db.open());
            QSqlQuery(db).exec("PRAGMA user_version = 99");
            db.close();
            db = {};
            QSqlDatabase::removeDatabase("newer");
        } else {
            QVERIFY(skyloft::test::writeFile(path, content));
        }
        const QByteArray before = skyloft::test::readFile(path);

        HistoryStore store(path);
        QVERIFY(!store.problem().isEmpty());
        const QStringList aside = QDir(dir.path()).entryList({"historial.sqlite.danado-*"});
        QCOMPARE(aside.size(), movedAside ? 1 : 0);
        QCOMPARE(store.isPersistent(), movedAside);
        if (movedAside) {
            QCOMPARE(skyloft::test::readFile(dir.filePath(aside.first())), before);
            QCOMPARE(fileMode(dir.filePath(aside.first())), 0600);
        }
        QCOMPARE(fileMode(path), 0600);
        // The session goes on either way; a new file keeps its pairs for the next start.
        QVERIFY(store.record(kRun.last(), kMonday));
        QCOMPARE(store.entries().size(), 1);
        store.flush();
        QCOMPARE(HistoryStore(path).entries().size(), movedAside ? 1 : 0);
    }

    void theHistoryIsPrivate()
    {
        QTemporaryDir dir;
        const QString fresh = dir.filePath("nueva/skyloft/historial.sqlite");
        HistoryStore created(fresh);
        QVERIFY(created.record(kRun.first(), kMonday));
        // Rows are committed in batches, a moment after the first, without being asked.
        QTRY_COMPARE(HistoryStore::readFile(fresh).size(), 1);
        QCOMPARE(fileMode(dir.filePath("nueva")), 0700);
        QCOMPARE(fileMode(dir.filePath("nueva/skyloft")), 0700);
        for (const QString suffix : {"", "-wal", "-shm"})
            QCOMPARE(fileMode(fresh + suffix), 0600);

        // Found readable by others (an older Skyloft, a copied file), while another Skyloft
        // has it open: tightened, the folder too when it is Skyloft's own.
        const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", dir.filePath("datos").toUtf8());
        const QString own = dir.filePath("datos/skyloft/historial.sqlite");
        const QString shared = dir.filePath("compartida/historial.sqlite");
        for (const QString &path : {own, shared}) {
            HistoryStore first(path);
            QVERIFY(first.record(kRun.first(), kMonday));
            first.flush();
            QVERIFY(::chmod(QFile::encodeName(QFileInfo(path).path()).constData(), 0755) == 0);
            for (const QString suffix : {"", "-wal", "-shm"})
                QVERIFY(::chmod(QFile::encodeName(path + suffix).constData(), 0644) == 0);
            HistoryStore second(path);
            QVERIFY(second.isPersistent());
            QCOMPARE(second.entries().size(), 1);
            for (const QString suffix : {"", "-wal", "-shm"})
                QCOMPARE(fileMode(path + suffix), 0600);
            // Another folder is the user's to choose; the files in it are private anyway.
            QCOMPARE(fileMode(QFileInfo(path).path()), path == own ? 0700 : 0755);
        }
        dataHome.isEmpty() ? qunsetenv("XDG_DATA_HOME") : qputenv("XDG_DATA_HOME", dataHome);
    }

    void exportsReadBack_data()
    {
        QTest::addColumn<int>("format");
        QTest::newRow("CSV") << int(ExportFormat::Csv);
        QTest::newRow("Markdown") << int(ExportFormat::Markdown);
        QTest::newRow("JSON") << int(ExportFormat::Json);
    }
    void exportsReadBack()
    {
        QFETCH(int, format);
        QList<HistoryEntry> entries;
        for (const PairOutcome &outcome : kRun + kHostile)
            entries.append({0, kMonday, outcome});
        const QList<ExportedLink> links = exportedLinks(entries);
        QCOMPARE(links.size(), 3 + kHostile.size()); // failed pairs have no link to export
        QStringList expected = rows(links);
        if (ExportFormat(format) == ExportFormat::Csv) {
            // A spreadsheet shows the apostrophe-led cell as the text after it.
            for (int i = 3; i < expected.size() - 1; ++i)
                expected[i].replace("Mega|", "Mega|'");
        } else if (ExportFormat(format) == ExportFormat::Markdown) {
            // One item a line: a line break in a name reads back as a space.
            expected[1].replace('\n', ' ');
            expected.last().replace('\n', ' ').replace("6>x", "6%3Ex");
        }
        QCOMPARE(readBack(exportLinks(links, ExportFormat(format)), ExportFormat(format)),
                 expected);
        if (ExportFormat(format) == ExportFormat::Json) {
            // The export's objects are the history's own, those with a link.
            QJsonArray withLinks;
            for (const QJsonValue &v : QJsonDocument::fromJson(historyJson(entries)).array()) {
                if (!v["link"].toString().isEmpty())
                    withLinks << v;
            }
            QCOMPARE(QJsonDocument::fromJson(exportLinks(links, ExportFormat::Json)).array(),
                     withLinks);
        }
    }

    // By service name, each with when its pair ended (null when that is not known).
    void linksTabExportsByServiceName()
    {
        QTemporaryDir dir;
        GeneratedLinks links;
        links.append("fichier", {"a.txt", "https://f/a"});
        links.append("drive", {"b, c.txt", "https://d/b"});
        links.append("drive", {"sin enlace.txt", ""});
        PairOutcome ended = pair("Dropbox", "c.txt", PairState::Subido, "https://x/c");
        ended.ended = QDateTime(QDate(2026, 12, 7), QTime(6, 30), Qt::UTC);
        links.record(ended);
        UploadRuns runs(RclonePaths::process());
        LinksView view(&links, &runs,
                       [&](QWidget *, const SaveRequest &request,
                           std::function<void(const QString &)> onChosen) {
                           onChosen(dir.filePath("enlaces." + request.suffix));
                       });
        auto *button = view.findChild<ExportButton *>();
        QVERIFY(button && button->isEnabled());
        button->menu()->actions().at(0)->trigger(); // CSV
        QCOMPARE(readBack(readFile(dir.filePath("enlaces.csv")), ExportFormat::Csv),
                 (QStringList{"Google Drive|b, c.txt|https://d/b", "Dropbox|c.txt|https://x/c",
                              "1Fichier|a.txt|https://f/a"}));
        button->menu()->actions().at(2)->trigger(); // JSON
        QStringList dates;
        for (const QJsonValue &v :
             QJsonDocument::fromJson(readFile(dir.filePath("enlaces.json"))).array())
            dates << (v["date"].isNull() ? "null" : v["date"].toString());
        QCOMPARE(dates, (QStringList{"null", "2026-12-07T06:30:00Z", "null"}));
    }

    void qrCodeScansBackToTheLink_data()
    {
        QTest::addColumn<QString>("link");
        QTest::newRow("short") << "https://skyloft.app/d/1";
        QTest::newRow("a presigned S3 address")
            << "http://127.0.0.1:40123/skyloft-drive/informe%20final.pdf?X-Amz-Algorithm="
               "AWS4-HMAC-SHA256&X-Amz-Credential=S3RVER%2F20261206%2Fus-east-1%2Fs3%2Faws4_"
               "request&X-Amz-Date=20261206T003000Z&X-Amz-Expires=604800&X-Amz-SignedHeaders="
               "host&X-Amz-Signature=" +
                   QString(64, 'f');
        QTest::newRow("not ASCII") << "https://ejemplo.es/año/ñandú.txt";
    }
    void qrCodeScansBackToTheLink()
    {
        QFETCH(QString, link);
        QTemporaryDir dir;
        const QString png = dir.filePath("qr.png");
        QVERIFY(qrCodeImage(link, 4).save(png));
        QProcess zbar;
        // Binary: the bytes as encoded (zbar would guess a legacy charset for UTF-8 without ECI).
        zbar.start("zbarimg", {"--raw", "-q", "-Sbinary", png});
        QVERIFY(zbar.waitForFinished(60000));
        QCOMPARE(QString::fromUtf8(zbar.readAllStandardOutput()).trimmed(), link);
        QVERIFY(qrCodeImage(QString(5000, 'x'), 4).isNull());
    }

    void historyCommand_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("files");
        const QStringList all = {"informe, final \"v2\".pdf", "dos\nlíneas [y] *más*.txt",
                                 "foto \t'1'.jpg", "informe, final \"v2\".pdf", "nada.bin"};
        QTest::newRow("JSON, everything") << QStringList{"--format", "json"} << 0 << all;
        QTest::newRow("TSV, escaped") << QStringList{} << 0 << all;
        QTest::newRow("since a day")
            << QStringList{"--format", "json", "--desde", "2026-03-03"} << 0 << all.mid(3);
        QTest::newRow("since a local time")
            << QStringList{"--format", "json", "--desde", "2026-03-03T12:00"} << 0 << all.mid(3);
        for (const char *none : {"ayer", "2026-01-31T25:00", "2026-02-30", "2026-01-31T18:60",
                                 "2026-01-31T24:00", "2026-01-31T18:00:60", "2026-01-31T18:00x"})
            QTest::addRow("no such date: %s", none)
                << QStringList{"--desde", none} << 2 << QStringList{};
        QTest::newRow("an unknown format") << QStringList{"--format", "xml"} << 2 << QStringList{};
    }
    void historyCommand()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QStringList, files);
        QTemporaryDir home;
        {
            HistoryStore store(home.filePath(".local/share/skyloft/historial.sqlite"));
            for (int i = 0; i < kRun.size(); ++i)
                store.record(kRun.at(i), kMonday.addDays(i < 3 ? 0 : 2));
        }
        const SkyloftRun cli = runSkyloft(QStringList{"historial"} + arguments, home.path());
        QCOMPARE(cli.exitCode, exitCode);
        QStringList got;
        if (arguments.contains("json")) {
            for (const QJsonValue &v : QJsonDocument::fromJson(cli.out.join('\n').toUtf8()).array())
                got << v["file"].toString();
        } else if (exitCode == 0) {
            QStringList lines = cli.out;
            QCOMPARE(lines.takeFirst().split('\t').size(), 7);
            for (const QString &line : lines) {
                QCOMPARE(line.split('\t').size(), 7);
                got << QString(line.split('\t').at(2)).replace("\\t", "\t").replace("\\n", "\n");
            }
        }
        QCOMPARE(got, files);
    }

    void historyWindowSearchesExportsAndDeletes()
    {
        QTemporaryDir dir;
        HistoryStore store(dir.filePath("historial.sqlite"));
        for (int i = 0; i < kRun.size(); ++i)
            store.record(kRun.at(i), kMonday.addSecs(i));
        QString savedTo;
        HistoryWindowSetup setup{[](const QUrl &) { return true; },
                                 [&](QWidget *, const SaveRequest &request,
                                     std::function<void(const QString &)> onChosen) {
                                     savedTo = dir.filePath("out." + request.suffix);
                                     onChosen(savedTo);
                                 }};
        HistoryWindow window(&store, setup);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QAbstractItemModel *shown = window.table()->model();
        QTRY_COMPARE(shown->rowCount(), kRun.size());

        // A header click sorts by its column; the newest-first order then comes back.
        window.table()->sortByColumn(HistoryModel::Archivo, Qt::AscendingOrder);
        QStringList names;
        for (int row = 0; row < shown->rowCount(); ++row)
            names << shown->index(row, HistoryModel::Archivo).data().toString();
        QCOMPARE(names, (QStringList{kRun[1].fileName, kRun[2].fileName, kRun[0].fileName,
                                     kRun[3].fileName, kRun[4].fileName}));
        window.table()->sortByColumn(HistoryModel::Fecha, Qt::DescendingOrder);

        QTest::keyClicks(window.searchField(), "INFORME");
        QCOMPARE(shown->rowCount(), 2);
        window.searchField()->clear();
        QTest::keyClicks(window.searchField(), "dropb");
        QCOMPARE(shown->rowCount(), 2);

        // Export: only the rows shown that have a link.
        window.exportButton()->exportAs(ExportFormat::Json);
        QCOMPARE(readBack(readFile(savedTo), ExportFormat::Json),
                 QStringList{"Dropbox|informe, final \"v2\".pdf|https://x/3"});

        // Newest first; the failed Dropbox pair offers Reintentar, the other does not.
        auto menuTexts = [&](int row) {
            std::unique_ptr<QMenu> menu(window.rowMenu(shown->index(row, 0)));
            QStringList texts;
            for (QAction *action : menu->actions())
                if (!action->isSeparator())
                    texts << action->text() + (action->isEnabled() ? "" : " (off)");
            return texts;
        };
        QCOMPARE(menuTexts(1), (QStringList{"Copiar enlace (off)", "Abrir en el navegador (off)",
                                            "Mostrar código QR (off)", "Copiar ruta local",
                                            "Reintentar", "Eliminar del historial…"}));
        QVERIFY(!menuTexts(0).contains("Reintentar"));
        QSignalSpy retried(&window, &HistoryWindow::retryRequested);
        std::unique_ptr<QMenu> menu(window.rowMenu(shown->index(1, 0)));
        menu->actions().at(4)->trigger();
        QCOMPARE(retried.size(), 1);
        const auto retriedNames = [&] {
            QStringList names;
            for (const PairOutcome &pair : retried.takeFirst().first().value<QList<PairOutcome>>())
                names << pair.fileName;
            return names;
        };
        QCOMPARE(retriedNames(), QStringList{kRun.at(2).fileName});

        // With every row selected, the menu of any of them tries every failed one again, at once.
        window.searchField()->clear();
        QTRY_COMPARE(shown->rowCount(), kRun.size());
        window.table()->selectAll();
        std::unique_ptr<QMenu> all(window.rowMenu(shown->index(0, 0)));
        for (QAction *action : all->actions()) {
            if (action->text() == QStringLiteral("Reintentar"))
                action->trigger();
        }
        QCOMPARE(sorted(retriedNames()), sorted({kRun.at(2).fileName, kRun.at(4).fileName}));
        window.table()->clearSelection();
        QTest::keyClicks(window.searchField(), "dropb");
        QTRY_COMPARE(shown->rowCount(), 2);

        // What deleting leaves behind is said as the row stands: an uploaded file stays on its
        // service; a pair whose link failed was copied there.
        const auto deletionNote = [&](int row) {
            std::unique_ptr<QMenu> rowMenu(window.rowMenu(shown->index(row, 0)));
            rowMenu->actions().last()->trigger();
            QMessageBox *box = openDialog(&window);
            const QString note = box ? box->informativeText() : QString();
            if (box)
                clickDialogButton(box, "Cancelar");
            return note;
        };
        QCOMPARE(deletionNote(0), QStringLiteral("El archivo sigue en Dropbox; solo se olvida esta "
                                                 "línea del historial."));
        QCOMPARE(deletionNote(1), QStringLiteral("El archivo se copió a Dropbox pero no se obtuvo "
                                                 "su enlace; solo se olvida esta línea del "
                                                 "historial."));
        QTRY_VERIFY(!openDialog(&window));

        // Deleting asks first, from the menu or the Delete key; Cancelar keeps the row, Eliminar
        // forgets it in the store.
        for (const char *answer : {"Cancelar", "Eliminar"}) {
            if (answer == QLatin1String("Cancelar")) {
                std::unique_ptr<QMenu> rowMenu(window.rowMenu(shown->index(1, 0)));
                rowMenu->actions().last()->trigger();
            } else {
                window.activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(&window));
                window.table()->setFocus();
                window.table()->setCurrentIndex(shown->index(1, 0));
                QTest::keyClick(window.table(), Qt::Key_Delete);
            }
            QMessageBox *box = openDialog(&window);
            QVERIFY(box);
            QVERIFY(clickDialogButton(box, answer));
        }
        QCOMPARE(shown->rowCount(), 1);
        QCOMPARE(store.entries().size(), kRun.size() - 1);
    }
};

QTEST_MAIN(TestHistory)
#include "test_history.moc"
