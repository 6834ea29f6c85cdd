// SPDX-License-Identifier: MIT
#include "upload/FileIntake.h"

#include "core/Log.h"
#include "upload/UploadState.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QThreadPool>
#include <QTimer>
#include <QUrl>
#include <QtConcurrent>

#include <cstdio>
#include <functional>
#include <memory>
#include <utility>

#include <algorithm>

namespace skyloft::FileIntake {

namespace {

QCollator naturalCollator()
{
    // The C locale has no collation rules (and would ignore the numeric mode): names are then
    // sorted as Spanish.
    QCollator collator(QLocale().language() == QLocale::C ? QLocale(QLocale::Spanish) : QLocale());
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

QFileInfoList sortedEntries(const QString &folder, QDir::Filters filters, const QCollator &collator)
{
    // Without QDir::Hidden hidden entries are neither listed nor entered.
    QFileInfoList entries =
        QDir(folder).entryInfoList(filters | QDir::NoDotAndDotDot, QDir::Unsorted);
    std::sort(entries.begin(), entries.end(), [&](const QFileInfo &a, const QFileInfo &b) {
        const int order = collator.compare(a.fileName(), b.fileName());
        // Names equal but for case still get one fixed order.
        return order != 0 ? order < 0 : a.fileName() < b.fileName();
    });
    return entries;
}

void collectFiles(const QString &folder, const QCollator &collator, QStringList &files)
{
    for (const QFileInfo &sub : sortedEntries(folder, QDir::Dirs, collator)) {
        if (!sub.isSymLink())
            collectFiles(sub.filePath(), collator, files);
    }
    // QDir::Files keeps links to files and leaves dangling links out.
    for (const QFileInfo &file : sortedEntries(folder, QDir::Files, collator))
        files << file.filePath();
}

// A folder's files reach the queue this many at a time: one change of the queue, one redraw
// and one write of the log lines per batch.
constexpr qsizetype kBatch = 500;

const QString kFromFolder = QStringLiteral("📂 Archivo agregado desde carpeta: ");
const QString kIndividual = QStringLiteral("📄 Archivo individual agregado: ");

// What one look at a dropped path found: the path itself, or some files of its folder.
struct IntakeBatch
{
    QStringList paths;
    bool fromFolder = false;
};

void appendBatch(UploadState &state, const IntakeBatch &batch)
{
    const QString &prefix = batch.fromFolder ? kFromFolder : kIndividual;
    qsizetype size = 0;
    for (const QString &path : batch.paths)
        size += prefix.size() + path.size() + 1;
    QString lines;
    lines.reserve(size);
    for (const QString &path : batch.paths) {
        lines += prefix;
        lines += path;
        lines += QLatin1Char('\n');
    }
    state.appendArchivos(batch.paths);
    writeText(stdout, lines);
}

// Calls `onBatch` with the path, or with the files of its folder in batches, in queue order,
// until it returns false.
void lookAt(const QString &path, const std::function<bool(IntakeBatch)> &onBatch)
{
    if (!QFileInfo(path).isDir()) {
        onBatch(IntakeBatch{{path}, false});
        return;
    }
    const QStringList files = folderFiles(path);
    for (qsizetype first = 0; first < files.size(); first += kBatch) {
        if (!onBatch(IntakeBatch{files.mid(first, kBatch), true}))
            return;
    }
}

// One thread, so that paths dropped one after another are queued in that order.
QThreadPool &intakePool()
{
    static QThreadPool *pool = [] {
        auto *created = new QThreadPool;
        created->setMaxThreadCount(1);
        // The window's thread goes first when the cores are busy.
        created->setThreadPriority(QThread::LowPriority);
        return created;
    }();
    return *pool;
}

} // namespace

QStringList folderFiles(const QString &folder)
{
    QStringList files;
    collectFiles(QDir::cleanPath(folder), naturalCollator(), files);
    return files;
}

void addDroppedPath(UploadState &state, const QString &path)
{
    lookAt(path, [&state](const IntakeBatch &batch) {
        appendBatch(state, batch);
        return true;
    });
}

void addDroppedUrl(UploadState &state, const QUrl &url)
{
    if (url.isLocalFile())
        addDroppedPath(state, url.toLocalFile());
}

void queueDroppedPath(UploadState &state, const QString &path)
{
    // The future keeps every result it was given until it goes: each batch is moved out of it as
    // it arrives, or 100,000 paths would be freed on the GUI thread in one go at the end.
    using SharedBatch = std::shared_ptr<IntakeBatch>;
    auto *watcher = new QFutureWatcher<SharedBatch>(&state);
    // Batches that arrive together (the GUI thread was busy) are still taken one per turn of the
    // event loop, so the window repaints and reacts between them.
    auto pending = std::make_shared<QList<IntakeBatch>>();
    auto takeOne = std::make_shared<std::function<void()>>();
    *takeOne = [&state, pending, weak = std::weak_ptr(takeOne)] {
        appendBatch(state, pending->takeFirst());
        if (!pending->isEmpty())
            QTimer::singleShot(1, &state, [weak] {
                if (const auto next = weak.lock())
                    (*next)();
            });
    };
    QObject::connect(watcher, &QFutureWatcherBase::resultsReadyAt, &state,
                     [watcher, pending, takeOne](int begin, int end) {
                         const bool idle = pending->isEmpty();
                         for (int i = begin; i < end; ++i)
                             pending->append(std::exchange(*watcher->resultAt(i), {}));
                         if (idle)
                             (*takeOne)();
                     });
    QObject::connect(watcher, &QFutureWatcherBase::finished, watcher, &QObject::deleteLater);
    // A screen closed meanwhile stops the walk at its next batch.
    QObject::connect(&state, &QObject::destroyed, watcher,
                     [watcher] { watcher->future().cancel(); });
    watcher->setFuture(QtConcurrent::run(&intakePool(), [path](QPromise<SharedBatch> &promise) {
        lookAt(path, [&promise](IntakeBatch batch) {
            promise.addResult(std::make_shared<IntakeBatch>(std::move(batch)));
            return !promise.isCanceled();
        });
    }));
}

void queueDroppedUrl(UploadState &state, const QUrl &url)
{
    if (url.isLocalFile())
        queueDroppedPath(state, url.toLocalFile());
}

void addCommandLinePaths(UploadState &state, const QStringList &paths)
{
    for (const QString &path : paths)
        addDroppedPath(state, QDir::cleanPath(QDir::current().absoluteFilePath(path)));
}

} // namespace skyloft::FileIntake
