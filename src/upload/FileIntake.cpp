// SPDX-License-Identifier: MIT
#include "upload/FileIntake.h"

#include "core/Log.h"
#include "upload/UploadState.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

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

} // namespace

QStringList folderFiles(const QString &folder)
{
    QStringList files;
    collectFiles(QDir::cleanPath(folder), naturalCollator(), files);
    return files;
}

void addDroppedPath(UploadState &state, const QString &path)
{
    if (!QFileInfo(path).isDir()) {
        state.appendArchivo(path);
        logLine(QStringLiteral("📄 Archivo individual agregado: ") + path);
        return;
    }
    for (const QString &file : folderFiles(path)) {
        state.appendArchivo(file);
        logLine(QStringLiteral("📂 Archivo agregado desde carpeta: ") + file);
    }
}

void addDroppedUrl(UploadState &state, const QUrl &url)
{
    if (url.isLocalFile())
        addDroppedPath(state, url.toLocalFile());
}

void addCommandLinePaths(UploadState &state, const QStringList &paths)
{
    for (const QString &path : paths)
        addDroppedPath(state, QDir::cleanPath(QDir::current().absoluteFilePath(path)));
}

} // namespace skyloft::FileIntake
