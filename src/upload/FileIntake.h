// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class QUrl;

namespace skyloft {

class UploadState;

// How dropped items reach the upload queue. GUI thread only.
namespace FileIntake {

// A path that cannot be uploaded, as shown to the user, and why.
struct Refused
{
    QString shown;
    QString reason;
};

// One dropped path, already decoded from its URL. A folder is walked at any depth and each file
// in it queued on its own ("📂" line); hidden files and folders are skipped, hidden folders and
// symbolic links to folders are not entered, and folders are never queued. Anything else, also
// a path that does not exist, is queued as it is ("📄" line). Duplicates are kept. A FIFO,
// socket or device, and a name that is not valid UTF-8, are refused with a "❌" line and
// returned: rclone could wait on them for ever, or could not find them.
QList<Refused> addDroppedPath(UploadState &state, const QString &path);

// A dropped URL: a local file's is handed on as its path, any other is ignored.
QList<Refused> addDroppedUrl(UploadState &state, const QUrl &url);

// Paths given on the command line, relative ones taken from the current folder, each as if
// dropped. An empty path is refused (it would name the current folder).
QList<Refused> addCommandLinePaths(UploadState &state, const QStringList &paths);

// Valid UTF-8 stays as it is; every other byte is written \xNN.
QString escapedName(const QByteArray &bytes);

} // namespace FileIntake
} // namespace skyloft
