// SPDX-License-Identifier: MIT
#include "history/HistoryStore.h"

#include "core/Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTimer>

#include <atomic>

#include <sys/stat.h>

namespace skyloft {

namespace {

// Each step takes the schema from the version before it to its own; a database is brought up to
// date by running, in order, every step above its user_version. Never edit a released step:
// add the next one.
struct Migration
{
    int version;
    QStringList statements;
};

const QList<Migration> &migrations()
{
    static const QList<Migration> steps = {
        {1,
         {QStringLiteral("CREATE TABLE subidas ("
                         " id INTEGER PRIMARY KEY,"
                         " fecha INTEGER NOT NULL," // milliseconds since the epoch, UTC
                         " servicio TEXT, remoto TEXT, archivo TEXT, ruta_local TEXT,"
                         " tamano INTEGER, enlace TEXT, estado TEXT, detalle TEXT)"),
          QStringLiteral("CREATE INDEX subidas_fecha ON subidas (fecha)")}},
        // Why a pair failed (a FailureCause key) and rclone's last lines about it.
        {2,
         {QStringLiteral("ALTER TABLE subidas ADD COLUMN causa TEXT"),
          QStringLiteral("ALTER TABLE subidas ADD COLUMN salida_rclone TEXT")}},
    };
    return steps;
}

const QString kColumns = QStringLiteral(
    "id, fecha, servicio, remoto, archivo, ruta_local, tamano, enlace, estado, detalle, causa, "
    "salida_rclone");

QString connectionName()
{
    static std::atomic<int> next{0};
    return QStringLiteral("historial-%1").arg(next++);
}

// Runs one statement; on failure leaves its error in `error`.
bool run(QSqlDatabase &db, const QString &statement, QString &error)
{
    QSqlQuery query(db);
    if (query.exec(statement))
        return true;
    error = query.lastError().text();
    return false;
}

// The first column of the first row, the query finished (an open one would hold a read
// transaction); nothing on failure, with the error in `error`.
std::optional<QString> firstValue(QSqlDatabase &db, const QString &statement, QString &error)
{
    QSqlQuery query(db);
    if (!query.exec(statement) || !query.next()) {
        error = query.lastError().text();
        return std::nullopt;
    }
    return query.value(0).toString();
}

HistoryEntry entryFrom(const QSqlQuery &query);

// All entries that ended at or after `since` (all when invalid), oldest first.
QList<HistoryEntry> readEntries(const QSqlDatabase &db, const QDateTime &since)
{
    QSqlQuery select(db);
    select.setForwardOnly(true);
    select.prepare(QStringLiteral("SELECT ") + kColumns +
                   QStringLiteral(" FROM subidas WHERE fecha >= ? ORDER BY fecha, id"));
    select.addBindValue(since.isValid() ? since.toMSecsSinceEpoch()
                                        : std::numeric_limits<qint64>::min());
    QList<HistoryEntry> found;
    if (!select.exec()) {
        logLine(QStringLiteral("❌ No se pudo leer el historial: ") + select.lastError().text());
        return found;
    }
    while (select.next())
        found.append(entryFrom(select));
    return found;
}

HistoryEntry entryFrom(const QSqlQuery &query)
{
    HistoryEntry entry;
    entry.id = query.value(0).toLongLong();
    entry.when = QDateTime::fromMSecsSinceEpoch(query.value(1).toLongLong(), Qt::UTC);
    PairOutcome &pair = entry.pair;
    pair.service = query.value(2).toString();
    pair.remote = query.value(3).toString();
    pair.fileName = query.value(4).toString();
    pair.localPath = query.value(5).toString();
    pair.size = query.value(6).isNull() ? -1 : query.value(6).toLongLong();
    pair.link = query.value(7).toString();
    // A word written by a later version reads as a failure, so the row never passes for a link.
    pair.state = pairStateFromText(query.value(8).toString()).value_or(PairState::CopiaFallida);
    pair.detail = query.value(9).toString();
    pair.cause = query.value(10).toString();
    pair.rcloneOutput = query.value(11).toString();
    return entry;
}

// The history holds every link and local path: nobody but its owner may read it. SQLite
// gives its -wal, -shm and -journal files the mode of the database, so a private database
// keeps them private too.
const QStringList kSideFiles = {QStringLiteral("-wal"), QStringLiteral("-shm"),
                                QStringLiteral("-journal")};

// Takes away group's and others' access, whatever the umask gave; a missing file is fine.
bool makePrivate(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info = {};
    if (::stat(name.constData(), &info) != 0)
        return !QFileInfo::exists(path);
    const mode_t others = S_IRWXG | S_IRWXO;
    return (info.st_mode & others) == 0 ||
           ::chmod(name.constData(), info.st_mode & 07777 & ~others) == 0;
}

// Creates the missing folders of `folder` 0700, as XDG asks of data folders. An existing folder
// is tightened only when it is Skyloft's own, and at best: the files in it are private anyway.
bool makeFolder(const QString &folder, const QString &ownFolder)
{
    const QFileInfo info(folder);
    if (info.isDir()) {
        if (QDir::cleanPath(folder) == ownFolder)
            makePrivate(folder);
        return true;
    }
    if (info.exists() || !makeFolder(info.absolutePath(), ownFolder))
        return false;
    const QByteArray name = QFile::encodeName(folder);
    return ::mkdir(name.constData(), S_IRWXU) == 0 && ::chmod(name.constData(), S_IRWXU) == 0;
}

// The database file itself is born 0600, so that it is never readable by others for a moment.
bool makePrivateFile(const QString &file)
{
    if (!QFileInfo::exists(file)) {
        QFile created(file);
        if (!created.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner) &&
            !QFileInfo::exists(file))
            return false;
    }
    bool ok = makePrivate(file);
    for (const QString &suffix : kSideFiles)
        ok = makePrivate(file + suffix) && ok;
    return ok;
}

QString ownFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/skyloft");
}

} // namespace

std::optional<PairState> pairStateFromText(const QString &text)
{
    for (PairState state : {PairState::Subido, PairState::CopiaFallida, PairState::EnlaceFallido,
                            PairState::Cancelado}) {
        if (pairStateText(state) == text)
            return state;
    }
    return std::nullopt;
}

HistoryStore::HistoryStore(const QString &path, QObject *parent)
    : QObject(parent), m_path(path), m_connection(connectionName()), m_flushTimer(new QTimer(this))
{
    m_flushTimer->setSingleShot(true);
    m_flushTimer->setInterval(kBatchMs);
    connect(m_flushTimer, &QTimer::timeout, this, &HistoryStore::flush);
    QString error;
    Opened opened = Opened::Unavailable;
    const QString folder = QFileInfo(path).absolutePath();
    if (!makeFolder(folder, QDir::cleanPath(ownFolder())))
        error = QStringLiteral("no se pudo crear la carpeta ") + folder;
    else if (!makePrivateFile(path))
        error = QStringLiteral("no se pudo hacer privado el archivo ") + path;
    else
        opened = openFile(path, error);

    if (opened == Opened::Damaged) {
        const QString aside = moveAside();
        if (aside.isEmpty()) {
            opened = Opened::Unavailable;
        } else {
            m_problem = QStringLiteral("El historial estaba dañado (") + error +
                        QStringLiteral("). Se ha apartado como ") + aside +
                        QStringLiteral(" y se ha empezado uno nuevo.");
            opened = openFile(path, error);
        }
    }
    if (opened == Opened::TooNew) {
        m_problem = QStringLiteral("El historial ") + path +
                    QStringLiteral(" es de una versión más nueva de Skyloft y no se ha tocado. "
                                   "Los enlaces de esta sesión no se guardarán.");
    } else if (opened != Opened::Ok) {
        m_problem = QStringLiteral("No se pudo abrir el historial ") + path + QStringLiteral(" (") +
                    error + QStringLiteral("). Los enlaces de esta sesión no se guardarán.");
    }
    m_persistent = opened == Opened::Ok;
    if (!m_persistent)
        openInMemory();
}

HistoryStore::~HistoryStore()
{
    flush();
    close();
}

void HistoryStore::beginBatch()
{
    if (m_batchOpen)
        return;
    m_batchOpen = QSqlDatabase::database(m_connection, false).transaction();
    if (m_batchOpen)
        m_flushTimer->start();
}

void HistoryStore::flush()
{
    if (!std::exchange(m_batchOpen, false))
        return;
    m_flushTimer->stop();
    m_batchRows = 0;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.commit())
        reportWriteFailure(db.lastError().text());
}

QString HistoryStore::defaultPath()
{
    const QString chosen = qEnvironmentVariable("SKYLOFT_HISTORY_FILE");
    if (!chosen.isEmpty())
        return chosen;
    return ownFolder() + QStringLiteral("/historial.sqlite");
}

HistoryStore::Opened HistoryStore::openFile(const QString &file, QString &error)
{
    close();
    // The file is created empty before it is opened: only one with content can be damaged.
    const bool existed = QFileInfo(file).size() > 0;
    const Opened failure = existed ? Opened::Damaged : Opened::Unavailable;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(file);
    // Another Skyloft (a headless upload) may be writing at the same moment.
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
    if (!db.open()) {
        error = db.lastError().text();
        return failure;
    }
    // SQLite opens any file lazily; the first read tells whether it is a database at all.
    const std::optional<QString> check =
        firstValue(db, QStringLiteral("PRAGMA quick_check"), error);
    if (!check)
        return failure;
    if (*check != QLatin1String("ok")) {
        error = *check;
        return failure;
    }
    const std::optional<QString> version =
        firstValue(db, QStringLiteral("PRAGMA user_version"), error);
    if (!version)
        return failure;
    if (version->toInt() > kSchemaVersion)
        return Opened::TooNew;
    // WAL lets a reader (skyloft historial) run beside a writer; NORMAL keeps commits cheap.
    if (file != QLatin1String(":memory:") &&
        (!run(db, QStringLiteral("PRAGMA journal_mode=WAL"), error) ||
         !run(db, QStringLiteral("PRAGMA synchronous=NORMAL"), error)))
        return failure;
    return migrate(error) ? Opened::Ok : failure;
}

void HistoryStore::openInMemory()
{
    QString ignored;
    openFile(QStringLiteral(":memory:"), ignored);
}

void HistoryStore::close()
{
    if (!QSqlDatabase::contains(m_connection))
        return;
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
}

bool HistoryStore::migrate(QString &error)
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    const std::optional<QString> version =
        firstValue(db, QStringLiteral("PRAGMA user_version"), error);
    if (!version)
        return false;
    const int current = version->toInt();
    for (const Migration &step : migrations()) {
        if (step.version <= current)
            continue;
        // A step and its version number land together or not at all.
        if (!db.transaction()) {
            error = db.lastError().text();
            return false;
        }
        bool ok = true;
        for (const QString &statement : step.statements)
            ok = ok && run(db, statement, error);
        ok = ok && run(db, QStringLiteral("PRAGMA user_version = %1").arg(step.version), error);
        if (!ok || !db.commit()) {
            if (ok)
                error = db.lastError().text();
            db.rollback();
            return false;
        }
    }
    return true;
}

// Renames the file (and SQLite's companions) to "<file>.danado-YYYYMMDD-HHMMSS"; returns the
// new name, or nothing when it could not be moved.
QString HistoryStore::moveAside()
{
    close();
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = m_path + QStringLiteral(".danado-") + stamp;
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = m_path + QStringLiteral(".danado-") + stamp + QStringLiteral("-%1").arg(n);
    if (!QFile::rename(m_path, aside))
        return {};
    for (const QString &suffix : kSideFiles) {
        if (QFileInfo::exists(m_path + suffix))
            QFile::rename(m_path + suffix, aside + suffix);
    }
    // The copy set aside was made private before it was opened; the new file is born so.
    if (!makePrivateFile(m_path))
        return {};
    return aside;
}

void HistoryStore::reportWriteFailure(const QString &what)
{
    logLine(QStringLiteral("❌ No se pudo guardar en el historial: ") + what);
    if (m_writeFailureReported)
        return;
    m_writeFailureReported = true;
    Q_EMIT problemFound(QStringLiteral("No se pudo guardar en el historial (") + what +
                        QStringLiteral("). Los enlaces siguen en la pestaña Enlaces."));
}

std::optional<HistoryEntry> HistoryStore::record(const PairOutcome &pair, const QDateTime &when)
{
    beginBatch();
    QSqlQuery insert(QSqlDatabase::database(m_connection, false));
    insert.prepare(QStringLiteral("INSERT INTO subidas (fecha, servicio, remoto, archivo, "
                                  "ruta_local, tamano, enlace, estado, detalle, causa, "
                                  "salida_rclone) "
                                  "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    insert.addBindValue(when.toMSecsSinceEpoch());
    insert.addBindValue(pair.service);
    insert.addBindValue(pair.remote);
    insert.addBindValue(pair.fileName);
    insert.addBindValue(pair.localPath);
    insert.addBindValue(pair.size);
    insert.addBindValue(pair.link);
    insert.addBindValue(pairStateText(pair.state));
    insert.addBindValue(pair.detail);
    insert.addBindValue(pair.cause);
    insert.addBindValue(pair.rcloneOutput);
    if (!insert.exec()) {
        reportWriteFailure(insert.lastError().text());
        return std::nullopt;
    }
    HistoryEntry entry{insert.lastInsertId().toLongLong(), when.toUTC(), pair};
    if (++m_batchRows >= kBatchRows)
        flush();
    Q_EMIT recorded(entry);
    return entry;
}

QList<HistoryEntry> HistoryStore::entries(const QDateTime &since) const
{
    return readEntries(QSqlDatabase::database(m_connection, false), since);
}

QList<HistoryEntry> HistoryStore::readFile(const QString &path)
{
    const QString connection = connectionName();
    QList<HistoryEntry> found;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=2000"));
        if (db.open())
            found = readEntries(db, {});
        else
            logLine(QStringLiteral("❌ No se pudo leer el historial: ") + db.lastError().text());
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return found;
}

bool HistoryStore::remove(qint64 id)
{
    beginBatch();
    QSqlQuery erase(QSqlDatabase::database(m_connection, false));
    erase.prepare(QStringLiteral("DELETE FROM subidas WHERE id = ?"));
    erase.addBindValue(id);
    if (!erase.exec()) {
        reportWriteFailure(erase.lastError().text());
        return false;
    }
    Q_EMIT removed(id);
    return true;
}

} // namespace skyloft
