// SPDX-License-Identifier: MIT
#pragma once

#include "history/HistoryEntry.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>

namespace skyloft {

// One link as an export lists it: its pair (service by display name) and when it ended.
struct ExportedLink
{
    PairOutcome pair;
    QDateTime when; // invalid when unknown
};

enum class ExportFormat
{
    Csv,
    Markdown,
    Json
};

struct ExportFormatInfo
{
    ExportFormat format;
    QString name;   // what the menu shows
    QString suffix; // without the dot
    QString filter; // the save dialog's file type
};
const QList<ExportFormatInfo> &exportFormats();

// The text of a file, UTF-8. CSV: RFC 4180 with a header line, fields quoted when they hold a
// comma, a quote or a line break, and led by an apostrophe when a spreadsheet would take them for
// a formula. Markdown: one "## service" section per service in first-seen order, a
// "- [file](<link>)" item per link. JSON: an array of objects.
QByteArray exportLinks(const QList<ExportedLink> &links, ExportFormat format);

// One pair as every JSON of Skyloft writes it (skyloft upload, skyloft historial, the exports):
// date (ISO 8601, UTC; null when unknown), service, remote, file, local_path, size (bytes; null
// when unknown), link, state, detail, cause, rclone.
QJsonObject pairJson(const PairOutcome &pair, const QDateTime &when);

// The entries that have a link, as an export lists them.
QList<ExportedLink> exportedLinks(const QList<HistoryEntry> &entries);

// The whole history for `skyloft historial`: TSV (a header line, then one line per entry; tab,
// line feed and backslash in a field written \t, \n and \\) or a JSON array.
QByteArray historyTsv(const QList<HistoryEntry> &entries);
QByteArray historyJson(const QList<HistoryEntry> &entries);

// One field of a tab-separated line: backslash, tab, line feed and carriage return escaped as
// \\, \t, \n and \r, so every row stays one line with its columns.
QString tsvField(QString field);

} // namespace skyloft
