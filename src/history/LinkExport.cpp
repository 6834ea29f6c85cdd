// SPDX-License-Identifier: MIT
#include "history/LinkExport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <initializer_list>
#include <utility>

namespace skyloft {

namespace {

// Each character replaced by its text, in the order given.
QString replaced(QString text, std::initializer_list<std::pair<char, const char *>> replacements)
{
    for (const auto &[character, replacement] : replacements)
        text.replace(QLatin1Char(character), QLatin1String(replacement));
    return text;
}

QString isoDate(const QDateTime &when)
{
    return when.isValid() ? when.toUTC().toString(Qt::ISODate) : QString();
}

// A spreadsheet runs a cell that starts with one of these as a formula (a file named
// "=cmd|' /C calc'!A0.txt"); the leading apostrophe is the usual way to keep it text.
QString csvField(const QString &field)
{
    static const QRegularExpression formula(QStringLiteral("^[=+\\-@\t\r]"));
    static const QRegularExpression special(QStringLiteral("[\",\r\n]"));
    const QString text = field.contains(formula) ? QLatin1Char('\'') + field : field;
    if (!text.contains(special))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QByteArray csv(const QList<ExportedLink> &links)
{
    QString text = QStringLiteral("servicio,archivo,enlace,fecha\r\n");
    for (const ExportedLink &link : links) {
        text += csvField(link.pair.service) + QLatin1Char(',') + csvField(link.pair.fileName) +
                QLatin1Char(',') + csvField(link.pair.link) + QLatin1Char(',') +
                csvField(isoDate(link.when)) + QStringLiteral("\r\n");
    }
    return text.toUtf8();
}

// A file name as Markdown link text: what could end the link, start emphasis, code, HTML, an
// entity or a table cell escaped, line breaks as spaces so that one item stays one line.
QString markdownText(QString text)
{
    static const QRegularExpression special(QStringLiteral(R"(([\\\[\]*_`<>|&~]))"));
    static const QRegularExpression lineBreaks(QStringLiteral("[\r\n]+"));
    text.replace(special, QStringLiteral(R"(\\1)"));
    text.replace(lineBreaks, QStringLiteral(" "));
    return text;
}

// A link inside <...>: the characters that would close it or break its line, percent-encoded
// as a URL may have them.
QString markdownDestination(const QString &link)
{
    return replaced(link, {{'<', "%3C"}, {'>', "%3E"}, {'\n', "%0A"}, {'\r', "%0D"}});
}

QByteArray markdown(const QList<ExportedLink> &links)
{
    QStringList services;
    for (const ExportedLink &link : links) {
        if (!services.contains(link.pair.service))
            services << link.pair.service;
    }
    QString text;
    for (const QString &service : services) {
        if (!text.isEmpty())
            text += QLatin1Char('\n');
        text += QStringLiteral("## ") + markdownText(service) + QStringLiteral("\n\n");
        for (const ExportedLink &link : links) {
            if (link.pair.service == service)
                text += QStringLiteral("- [") + markdownText(link.pair.fileName) +
                        QStringLiteral("](<") + markdownDestination(link.pair.link) +
                        QStringLiteral(">)\n");
        }
    }
    return text.toUtf8();
}

QByteArray json(const QList<ExportedLink> &links)
{
    QJsonArray array;
    for (const ExportedLink &link : links) {
        array.append(pairJson(link.pair, link.when));
    }
    return QJsonDocument(array).toJson(QJsonDocument::Indented);
}

} // namespace

QJsonObject pairJson(const PairOutcome &pair, const QDateTime &when)
{
    const auto orNull = [](bool known, const QJsonValue &value) {
        return known ? value : QJsonValue(QJsonValue::Null);
    };
    return {{QStringLiteral("date"), orNull(when.isValid(), isoDate(when))},
            {QStringLiteral("service"), pair.service},
            {QStringLiteral("remote"), pair.remote},
            {QStringLiteral("file"), pair.fileName},
            {QStringLiteral("local_path"), pair.localPath},
            {QStringLiteral("size"), orNull(pair.size >= 0, pair.size)},
            {QStringLiteral("link"), pair.link},
            {QStringLiteral("state"), pairStateText(pair.state)},
            {QStringLiteral("detail"), pair.detail},
            {QStringLiteral("cause"), pair.cause},
            {QStringLiteral("rclone"), pair.rcloneOutput}};
}

const QList<ExportFormatInfo> &exportFormats()
{
    static const QList<ExportFormatInfo> formats = {
        {ExportFormat::Csv, QStringLiteral("CSV"), QStringLiteral("csv"),
         QStringLiteral("CSV (*.csv)")},
        {ExportFormat::Markdown, QStringLiteral("Markdown"), QStringLiteral("md"),
         QStringLiteral("Markdown (*.md)")},
        {ExportFormat::Json, QStringLiteral("JSON"), QStringLiteral("json"),
         QStringLiteral("JSON (*.json)")},
    };
    return formats;
}

QByteArray exportLinks(const QList<ExportedLink> &links, ExportFormat format)
{
    switch (format) {
    case ExportFormat::Csv:
        return csv(links);
    case ExportFormat::Markdown:
        return markdown(links);
    case ExportFormat::Json:
        return json(links);
    }
    return {};
}

QList<ExportedLink> exportedLinks(const QList<HistoryEntry> &entries)
{
    QList<ExportedLink> links;
    for (const HistoryEntry &entry : entries) {
        if (!entry.pair.link.isEmpty())
            links.append({entry.pair, entry.when});
    }
    return links;
}

QString tsvField(QString field)
{
    return replaced(field, {{'\\', "\\\\"}, {'\t', "\\t"}, {'\n', "\\n"}, {'\r', "\\r"}});
}

QByteArray historyTsv(const QList<HistoryEntry> &entries)
{
    QString text = QStringLiteral("fecha\tservicio\tarchivo\testado\tenlace\truta_local\ttamano\n");
    for (const HistoryEntry &entry : entries) {
        const PairOutcome &pair = entry.pair;
        const QStringList fields = {isoDate(entry.when),       pair.service, pair.fileName,
                                    pairStateText(pair.state), pair.link,    pair.localPath,
                                    QString::number(pair.size)};
        QStringList escaped;
        for (const QString &field : fields)
            escaped << tsvField(field);
        text += escaped.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return text.toUtf8();
}

QByteArray historyJson(const QList<HistoryEntry> &entries)
{
    QJsonArray array;
    for (const HistoryEntry &entry : entries) {
        array.append(pairJson(entry.pair, entry.when));
    }
    return QJsonDocument(array).toJson(QJsonDocument::Indented);
}

} // namespace skyloft
