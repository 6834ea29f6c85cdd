// SPDX-License-Identifier: MIT
#include "upload/FileIntake.h"

#include "core/Log.h"
#include "core/Utf8.h"
#include "upload/UploadState.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>

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
    const QFileInfo info(path);
    if (isSpecialFile(info))
        return {refuse(path, kNoEsArchivoNormal)};
    if (!info.exists() && path.contains(QChar::ReplacementCharacter))
        return {refuse(path, kNombreNoUtf8)};
    if (!info.isDir()) {
        state.appendArchivo(path);
        logLine(QStringLiteral("📄 Archivo individual agregado: ") + path);
        return {};
    }
    QList<Refused> refused;
    for (const QString &file : folderFiles(path, &refused)) {
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
