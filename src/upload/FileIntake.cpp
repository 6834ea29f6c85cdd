// SPDX-License-Identifier: MIT
#include "upload/FileIntake.h"

#include "core/Log.h"
#include "upload/UploadState.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QUrl>

namespace skyloft::FileIntake {

void addDroppedPath(UploadState &state, const QString &path)
{
    if (!QFileInfo(path).isDir()) {
        state.appendArchivo(path);
        logLine(QStringLiteral("📄 Archivo individual agregado: ") + path);
        return;
    }
    // Without QDir::Hidden the iterator neither lists nor enters hidden entries; without
    // FollowSymlinks it does not enter linked folders; QDir::Files leaves folders and dangling
    // links out. Entries come in the file system's order, unsorted.
    QDirIterator entries(path, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QString file = entries.next();
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
