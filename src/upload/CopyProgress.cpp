// SPDX-License-Identifier: MIT
#include "upload/CopyProgress.h"

#include "core/RcloneCommands.h"
#include "core/Utf8.h"

#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace skyloft {

namespace {

// The way a double prints by default: always with a fractional part (42 gives 42.0), and
// in exponent form once integers stop being exact.
QString doubleText(double value)
{
    if (std::abs(value) < 1e16)
        return QString::number(value, 'f', 1);
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

// rclone's sizes: "0 B", "45 MiB", "286.102 MiB", "1.5 KiB" (or decimal "kB" units).
std::optional<double> bytesOf(const QString &number, const QString &unit)
{
    static const QString prefixes = QStringLiteral("KMGTPE");
    bool ok = false;
    double value = number.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    if (unit == u"B")
        return value;
    const qsizetype power = prefixes.indexOf(unit.at(0).toUpper()) + 1;
    if (power == 0)
        return std::nullopt;
    const double base = unit.contains(QLatin1Char('i')) ? 1024.0 : 1000.0;
    return value * std::pow(base, double(power));
}

} // namespace

std::optional<TransferLine> readTransferLine(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral(
        "Transferred:\\s*([0-9.]+)\\s*(B|[KMGTPEkmgtpe]i?B)\\s*/\\s*([0-9.]+)\\s*"
        "(B|[KMGTPEkmgtpe]i?B)\\s*,[^,\\n]*,\\s*([0-9.]+)\\s*(B|[KMGTPEkmgtpe]i?B)/s"));
    std::optional<TransferLine> last;
    for (auto it = pattern.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const std::optional<double> bytes = bytesOf(match.captured(1), match.captured(2));
        const std::optional<double> total = bytesOf(match.captured(3), match.captured(4));
        const std::optional<double> speed = bytesOf(match.captured(5), match.captured(6));
        if (bytes && total && speed)
            last = TransferLine{qint64(*bytes), qint64(*total), *speed};
    }
    return last;
}

QStringList copyArguments(const RclonePaths &paths, const QString &filePath,
                          const QString &remoteName)
{
    return RcloneCommands::copy(paths.rcloneConfigPath(), filePath, remoteName);
}

bool isStatisticsLine(const QString &line)
{
    static const QStringList statistics{
        QStringLiteral("Transferred:"),  QStringLiteral("Elapsed time:"),
        QStringLiteral("Errors:"),       QStringLiteral("Checks:"),
        QStringLiteral("Transferring:"), QStringLiteral("Deleted:"),
        QStringLiteral("Renamed:"),      QStringLiteral("*")};
    return std::any_of(statistics.cbegin(), statistics.cend(),
                       [&](const QString &s) { return line.startsWith(s); });
}

QString lastMeaningfulLine(const QString &text)
{
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("[\\r\\n]")));
    for (auto it = lines.crbegin(); it != lines.crend(); ++it) {
        const QString line = it->trimmed();
        if (line.isEmpty() || isStatisticsLine(line))
            continue;
        return line;
    }
    return {};
}

CopyChunkReading readCopyChunk(const QByteArray &chunk)
{
    CopyChunkReading reading;
    if (chunk.isEmpty())
        return reading;
    const std::optional<QString> text = decodeUtf8Strictly(chunk);
    if (!text)
        return reading;
    reading.lines << QStringLiteral("rclone output parcial: ") + *text;

    // Unicode properties make \d and \s mean any digit and any white space, as in ICU.
    static const QRegularExpression pattern(QStringLiteral("Transferred:.*?,\\s*(\\d+)%"),
                                            QRegularExpression::UseUnicodePropertiesOption);
    const QRegularExpressionMatch match = pattern.match(*text);
    if (match.hasMatch()) {
        bool isNumber = false;
        const double percentage = match.captured(1).toDouble(&isNumber);
        if (!isNumber)
            return reading; // digits of another script: no number, and no fallback either
        reading.lines << QStringLiteral("Porcentaje detectado (global): ") +
                             doubleText(percentage) + QLatin1Char('%');
        reading.fraction = percentage / 100.0;
        return reading;
    }
    // A transfer of nothing (a failed copy, an empty file) shows "0 B / 0 B" and no percentage.
    if (text->contains(QLatin1String("Transferred:")) &&
        text->contains(QLatin1String("0 B / 0 B"))) {
        reading.lines << QStringLiteral("No se detectó un porcentaje válido; forzando 100%.");
        reading.fraction = 1.0;
    }
    return reading;
}

} // namespace skyloft
