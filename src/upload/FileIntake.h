// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

class QUrl;

namespace skyloft {

class UploadState;

// How dropped items reach the upload queue. GUI thread only.
namespace FileIntake {

// One dropped path, already decoded from its URL. A folder is walked at any depth and each file
// in it queued on its own ("📂" line); hidden files and folders are skipped, hidden folders and
// symbolic links to folders are not entered, and folders are never queued. Anything else, also
// a path that does not exist, is queued as it is ("📄" line). Duplicates are kept.
void addDroppedPath(UploadState &state, const QString &path);

// A dropped URL: a local file's is handed on as its path, any other is ignored.
void addDroppedUrl(UploadState &state, const QUrl &url);

// Paths given on the command line, relative ones taken from the current folder, each as if
// dropped.
void addCommandLinePaths(UploadState &state, const QStringList &paths);

} // namespace FileIntake
} // namespace skyloft
