// SPDX-License-Identifier: MIT
#include "upload/FileIntake.h"

#include "core/Log.h"
#include "upload/CopyProgress.h"
#include "upload/UploadState.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QUrl>

#include <dirent.h>

namespace skyloft::FileIntake {

namespace {

const QString kNoEsArchivoNormal =
    QStringLiteral("no es un archivo normal (tubería, socket o dispositivo)");
const QString kNombreNoUtf8 = QStringLiteral("el nombre no es UTF-8 válido");

QList<Refused> refuse(const QString &shown, const QString &reason)
{
    logLine(QStringLiteral("❌ No se puede subir ") + shown + QStringLiteral(": ") + reason);
    return {Refused{shown, reason}};
}

// A decoded name that lost bytes no longer names a file. The folder's own listing gives back
// the names that are not UTF-8, to be reported by name.
QList<Refused> refuseUndecodableNames(const QString &folder)
{
    QList<Refused> refused;
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return refused;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (!name.startsWith('.') && !decodeUtf8Strictly(name))
            refused << refuse(folder + QLatin1Char('/') + escapedName(name), kNombreNoUtf8);
    }
    ::closedir(dir);
    return refused;
}

bool isSpecialFile(const QFileInfo &info)
{
    return info.exists() && !info.isFile() && !info.isDir();
}

} // namespace

QString escapedName(const QByteArray &bytes)
{
    QString shown;
    qsizetype i = 0;
    while (i < bytes.size()) {
        // The longest valid UTF-8 sequence at i (1 to 4 bytes), else one escaped byte.
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

QList<Refused> addDroppedPath(UploadState &state, const QString &path)
{
    const QFileInfo info(path);
    if (isSpecialFile(info))
        return refuse(path, kNoEsArchivoNormal);
    if (!info.exists() && path.contains(QChar::ReplacementCharacter))
        return refuse(path, kNombreNoUtf8);
    if (!info.isDir()) {
        state.appendArchivo(path);
        logLine(QStringLiteral("📄 Archivo individual agregado: ") + path);
        return {};
    }
    // Without QDir::Hidden the iterator neither lists nor enters hidden entries; without
    // FollowSymlinks it does not enter linked folders. QDir::System brings FIFOs, sockets and
    // devices, to be refused by name rather than left out without a word.
    QList<Refused> refused;
    // The iterator leaves out names that are not UTF-8 without a word; each folder it walks is
    // listed once more for them.
    QStringList folders{path};
    QDirIterator subfolders(path, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (subfolders.hasNext()) {
        const QString folder = subfolders.next();
        if (!QFileInfo(folder).isSymLink())
            folders << folder;
    }
    for (const QString &folder : std::as_const(folders))
        refused << refuseUndecodableNames(folder);
    QDirIterator entries(path, QDir::Files | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QString file = entries.next();
        const QFileInfo entry = entries.fileInfo();
        if (isSpecialFile(entry)) {
            refused << refuse(file, kNoEsArchivoNormal);
            continue;
        }
        if (!entry.isFile() && !entry.isSymLink())
            continue;
        if (entry.isSymLink() && !entry.exists())
            continue; // a dangling link
        state.appendArchivo(file);
        logLine(QStringLiteral("📂 Archivo agregado desde carpeta: ") + file);
    }
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

} // namespace skyloft::FileIntake
