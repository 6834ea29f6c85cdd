// SPDX-License-Identifier: MIT
#pragma once

#include "history/HistoryEntry.h"

#include <QList>
#include <QObject>
#include <QString>

class QTimer;

namespace skyloft {

// Every pair a run recorded, in a SQLite database (one file, one table). Writes run on the
// calling thread and are grouped in one transaction, committed by flush() (at a run's end), once
// kBatchRows wait, kBatchMs after the first, and when the store goes; the store lives on one
// thread only.
// A database that cannot be opened, is damaged or comes from a newer Skyloft is never fatal: a
// damaged one is moved aside with a timestamp and a new one started; when no file can serve,
// the history of this session is kept in memory. Either way problem() says so, once.
class HistoryStore : public QObject
{
    Q_OBJECT
public:
    // Opens (or creates) the database at `path`, folders included, and brings its schema up
    // to date.
    explicit HistoryStore(const QString &path, QObject *parent = nullptr);
    ~HistoryStore() override;

    // $SKYLOFT_HISTORY_FILE when set, else $XDG_DATA_HOME/skyloft/historial.sqlite
    // (~/.local/share/skyloft/ by default).
    static QString defaultPath();
    static constexpr int kSchemaVersion = 2;

    QString path() const { return m_path; }
    // What went wrong while opening, in Spanish, for the user; empty when all went well. The
    // caller reports it where its user looks (the window, or standard error).
    QString problem() const { return m_problem; }
    // Whether the history reaches the file (false when it fell back to memory).
    bool isPersistent() const { return m_persistent; }

    // Stores one pair that ended at `when` and announces it. Nothing when the write fails
    // (reported through problemFound, the first time only).
    std::optional<HistoryEntry> record(const PairOutcome &pair, const QDateTime &when);
    // All entries that ended at or after `since` (all when invalid), oldest first.
    QList<HistoryEntry> entries(const QDateTime &since = {}) const;
    // Every entry of the database file at `path`, oldest first, read from any thread through a
    // read-only connection of its own (a store in memory has no file: use entries()).
    static QList<HistoryEntry> readFile(const QString &path);
    bool remove(qint64 id);
    // Commits the writes waiting, so that other connections (skyloft historial) see them.
    void flush();

    static constexpr int kBatchRows = 200;
    static constexpr int kBatchMs = 1000;

Q_SIGNALS:
    void recorded(const skyloft::HistoryEntry &entry);
    void removed(qint64 id);
    // A write failed during the session; emitted once.
    void problemFound(const QString &message);

private:
    enum class Opened
    {
        Ok,
        Damaged,
        TooNew,
        Unavailable
    };
    Opened openFile(const QString &file, QString &error);
    void openInMemory();
    void close();
    bool migrate(QString &error);
    QString moveAside();
    void reportWriteFailure(const QString &what);
    void beginBatch();

    QString m_path;
    QString m_connection;
    QString m_problem;
    bool m_persistent = false;
    bool m_writeFailureReported = false;
    QTimer *m_flushTimer;
    bool m_batchOpen = false;
    int m_batchRows = 0;
};

} // namespace skyloft
