// SPDX-License-Identifier: MIT
#include "upload/FileIntake.h"

#include "core/Log.h"
#include "core/Utf8.h"
#include "upload/UploadState.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QThreadPool>
#include <QTimer>
#include <QUrl>
#include <QtConcurrent>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <utility>

#include <dirent.h>

namespace skyloft::FileIntake {

namespace {

const QString kNoEsArchivoNormal =
    QStringLiteral("no es un archivo normal (tubería, socket o dispositivo)");
const QString kNombreNoUtf8 = QStringLiteral("el nombre no es UTF-8 válido");

Refused refuse(const QString &shown, const QString &reason)
{
    logLine(QStringLiteral("❌ No se puede subir ") + shown + QStringLiteral(": ") + reason);
    return Refused{shown, reason};
}

bool isSpecialFile(const QFileInfo &info)
{
    return info.exists() && !info.isFile() && !info.isDir();
}

// QDir leaves out names that are not UTF-8 without a word: the folder's own listing gives them
// back, to be reported by name.
void refuseUndecodableNames(const QString &folder, QList<Refused> &refused)
{
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (!name.startsWith('.') && !decodeUtf8Strictly(name))
            refused << refuse(folder + QLatin1Char('/') + escapedName(name), kNombreNoUtf8);
    }
    ::closedir(dir);
}

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

void collectFiles(const QString &folder, const QCollator &collator, QStringList &files,
                  QList<Refused> &refused)
{
    for (const QFileInfo &sub : sortedEntries(folder, QDir::Dirs, collator)) {
        if (!sub.isSymLink())
            collectFiles(sub.filePath(), collator, files, refused);
    }
    refuseUndecodableNames(folder, refused);
    // QDir::System brings FIFOs, sockets, devices and dangling links: the first three are refused
    // by name, dangling links left out as QDir::Files alone would.
    for (const QFileInfo &file : sortedEntries(folder, QDir::Files | QDir::System, collator)) {
        if (isSpecialFile(file))
            refused << refuse(file.filePath(), kNoEsArchivoNormal);
        else if (file.isFile())
            files << file.filePath();
    }
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
    QList<Refused> refused; // the last batch of a background look: what was refused
};

void appendBatch(UploadState &state, const IntakeBatch &batch)
{
    if (batch.paths.isEmpty())
        return;
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
// until it returns false; what cannot be uploaded goes to `refused`.
void lookAt(const QString &path, const std::function<bool(IntakeBatch)> &onBatch,
            QList<Refused> &refused)
{
    const QFileInfo info(path);
    if (isSpecialFile(info)) {
        refused << refuse(path, kNoEsArchivoNormal);
        return;
    }
    if (!info.exists() && path.contains(QChar::ReplacementCharacter)) {
        refused << refuse(path, kNombreNoUtf8);
        return;
    }
    if (!info.isDir()) {
        onBatch(IntakeBatch{{path}, false, {}});
        return;
    }
    const QStringList files = folderFiles(path, &refused);
    for (qsizetype first = 0; first < files.size(); first += kBatch) {
        if (!onBatch(IntakeBatch{files.mid(first, kBatch), true, {}}))
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

// What the walks found, on its way into one state's queue. Batches are taken one per timer,
// never straight from the watcher's event: several of those events queued together are all
// delivered in one turn of the event loop, and the window would neither repaint nor react until
// all their batches were in. One queue for all of a state's drops keeps their order.
class IntakeQueue : public QObject
{
public:
    static IntakeQueue *of(UploadState &state)
    {
        auto *queue = state.findChild<IntakeQueue *>(kName, Qt::FindDirectChildrenOnly);
        return queue ? queue : new IntakeQueue(state);
    }

    void push(IntakeBatch batch, const RefusedHandler &onRefused)
    {
        m_pending.append({std::move(batch), onRefused});
        if (m_pending.size() == 1)
            QTimer::singleShot(1, this, &IntakeQueue::takeOne);
    }

private:
    static inline const QString kName = QStringLiteral("skyloft-intake-queue");

    explicit IntakeQueue(UploadState &state) : QObject(&state), m_state(state)
    {
        setObjectName(kName);
    }

    void takeOne()
    {
        const auto [batch, onRefused] = m_pending.takeFirst();
        appendBatch(m_state, batch);
        if (!batch.refused.isEmpty() && onRefused)
            onRefused(batch.refused);
        if (!m_pending.isEmpty())
            QTimer::singleShot(1, this, &IntakeQueue::takeOne);
    }

    UploadState &m_state;
    QList<std::pair<IntakeBatch, RefusedHandler>> m_pending;
};

} // namespace

QString escapedName(const QByteArray &bytes)
{
    QString shown;
    qsizetype i = 0;
    while (i < bytes.size()) {
        // The shortest valid UTF-8 sequence at i (1 to 4 bytes), else one escaped byte.
        qsizetype length = 0;
        for (qsizetype n = 1; n <= 4 && i + n <= bytes.size(); ++n) {
            if (decodeUtf8Strictly(bytes.mid(i, n))) {
                length = n;
                break;
            }
        }
        if (length > 0) {
            shown += QString::fromUtf8(bytes.mid(i, length));
            i += length;
        } else {
            shown += QStringLiteral("\\x%1").arg(uchar(bytes.at(i)), 2, 16, QLatin1Char('0'));
            ++i;
        }
    }
    return shown;
}

QStringList folderFiles(const QString &folder, QList<Refused> *refused)
{
    QStringList files;
    QList<Refused> ignored;
    collectFiles(QDir::cleanPath(folder), naturalCollator(), files, refused ? *refused : ignored);
    return files;
}

QList<Refused> addDroppedPath(UploadState &state, const QString &path)
{
    QList<Refused> refused;
    lookAt(
        path,
        [&state](const IntakeBatch &batch) {
            appendBatch(state, batch);
            return true;
        },
        refused);
    return refused;
}

QList<Refused> addDroppedUrl(UploadState &state, const QUrl &url)
{
    if (url.isLocalFile())
        return addDroppedPath(state, url.toLocalFile());
    return {};
}

QList<Refused> addCommandLinePaths(UploadState &state, const QStringList &paths)
{
    QList<Refused> refused;
    for (const QString &path : paths) {
        if (path.isEmpty()) {
            refused << refuse(QStringLiteral("\"\""), QStringLiteral("la ruta está vacía"));
            continue;
        }
        refused << addDroppedPath(state, QDir::cleanPath(QDir::current().absoluteFilePath(path)));
    }
    return refused;
}

void queueDroppedPaths(UploadState &state, const QStringList &paths, RefusedHandler onRefused)
{
    // The future keeps every result it was given until it goes: each batch is moved out of it as
    // it arrives, or 100,000 paths would be freed on the GUI thread in one go at the end.
    using SharedBatch = std::shared_ptr<IntakeBatch>;
    auto *watcher = new QFutureWatcher<SharedBatch>(&state);
    IntakeQueue *queue = IntakeQueue::of(state);
    QObject::connect(watcher, &QFutureWatcherBase::resultsReadyAt, queue,
                     [queue, watcher, onRefused](int begin, int end) {
                         for (int i = begin; i < end; ++i)
                             queue->push(std::exchange(*watcher->resultAt(i), {}), onRefused);
                     });
    QObject::connect(watcher, &QFutureWatcherBase::finished, watcher, &QObject::deleteLater);
    // A screen closed meanwhile stops the walk at its next batch.
    QObject::connect(&state, &QObject::destroyed, watcher,
                     [watcher] { watcher->future().cancel(); });
    watcher->setFuture(QtConcurrent::run(&intakePool(), [paths](QPromise<SharedBatch> &promise) {
        QList<Refused> refused;
        for (const QString &path : paths) {
            lookAt(
                path,
                [&promise](IntakeBatch batch) {
                    promise.addResult(std::make_shared<IntakeBatch>(std::move(batch)));
                    return !promise.isCanceled();
                },
                refused);
        }
        if (!refused.isEmpty())
            promise.addResult(std::make_shared<IntakeBatch>(IntakeBatch{{}, false, refused}));
    }));
}

void queueDroppedUrl(UploadState &state, const QUrl &url, RefusedHandler onRefused)
{
    if (url.isLocalFile())
        queueDroppedPaths(state, {url.toLocalFile()}, std::move(onRefused));
}

} // namespace skyloft::FileIntake
