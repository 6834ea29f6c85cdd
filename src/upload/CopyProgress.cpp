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

} // namespace

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
