// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

class QUrl;

namespace skyloft {

class UploadState;

// How dropped items reach the upload queue.
namespace FileIntake {

// Every file inside `folder`, at any depth, in the order a file manager shows them: each folder's
// subfolders first, then its files, both in natural name order ("archivo-2" before "archivo-10",
// case aside). Hidden entries are left out and hidden or linked folders not entered. It reads only
// the file system, so it may run on any thread.
QStringList folderFiles(const QString &folder);

// The rest change the queue: GUI thread only.

// One dropped path, already decoded from its URL. Each of a folder's files (folderFiles) is queued
// on its own ("📂" line); folders are never queued. Anything else, also a path that does not
// exist, is queued as it is ("📄" line). Duplicates are kept.
void addDroppedPath(UploadState &state, const QString &path);

// A dropped URL: a local file's is handed on as its path, any other is ignored.
void addDroppedUrl(UploadState &state, const QUrl &url);

// The same as addDroppedPath and addDroppedUrl, but the path is looked at and a folder walked on
// a thread of their own, so that a huge folder never stalls the window; its files arrive in
// batches. Items taken this way are queued in the order they were given.
void queueDroppedPath(UploadState &state, const QString &path);
void queueDroppedUrl(UploadState &state, const QUrl &url);

// Paths given on the command line, relative ones taken from the current folder, each as if
// dropped.
void addCommandLinePaths(UploadState &state, const QStringList &paths);

} // namespace FileIntake
} // namespace skyloft
