// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QUrl;

namespace skyloft {

class UploadState;

// How dropped items reach the upload queue.
namespace FileIntake {

// A path that cannot be uploaded, as shown to the user, and why.
struct Refused
{
    QString shown;
    QString reason;
};

// Every file inside `folder`, at any depth, in the order a file manager shows them: each folder's
// subfolders first, then its files, both in natural name order ("archivo-2" before "archivo-10",
// case aside). Hidden entries are left out and hidden or linked folders not entered. A FIFO,
// socket or device, and a name that is not valid UTF-8, go to `refused` instead (with a "❌"
// line): rclone could wait on them for ever, or could not find them. It reads only the file
// system, so it may run on any thread.
QStringList folderFiles(const QString &folder, QList<Refused> *refused = nullptr);

// The rest change the queue: GUI thread only.

// One dropped path, already decoded from its URL. Each of a folder's files (folderFiles) is queued
// on its own ("📂" line); folders are never queued. Anything else, also a path that does not
// exist, is queued as it is ("📄" line), unless it is refused as above. Duplicates are kept.
QList<Refused> addDroppedPath(UploadState &state, const QString &path);

// A dropped URL: a local file's is handed on as its path, any other is ignored.
QList<Refused> addDroppedUrl(UploadState &state, const QUrl &url);

// The same as addDroppedPath and addDroppedUrl, but the paths are looked at and folders walked on
// a thread of their own, so that a huge folder never stalls the window; its files arrive in
// batches. Items taken this way are queued in the order they were given. onRefused, when given,
// gets what could not be queued, once the paths are all looked at and only if there is any.
using RefusedHandler = std::function<void(const QList<Refused> &refused)>;
void queueDroppedPaths(UploadState &state, const QStringList &paths, RefusedHandler onRefused = {});
void queueDroppedUrl(UploadState &state, const QUrl &url, RefusedHandler onRefused = {});

// Paths given on the command line, relative ones taken from the current folder, each as if
// dropped. An empty path is refused (it would name the current folder).
QList<Refused> addCommandLinePaths(UploadState &state, const QStringList &paths);

// Valid UTF-8 stays as it is; every other byte is written \xNN.
QString escapedName(const QByteArray &bytes);

} // namespace FileIntake
} // namespace skyloft
