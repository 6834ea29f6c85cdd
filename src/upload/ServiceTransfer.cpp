// SPDX-License-Identifier: MIT
#include "upload/ServiceTransfer.h"

#include <QLocale>

#include <array>
#include <cmath>

namespace skyloft {

namespace {

const QLocale &spanish()
{
    static const QLocale locale(QLocale::Spanish, QLocale::Spain);
    return locale;
}

} // namespace

QString byteSizeText(qint64 bytes)
{
    static const std::array<const char *, 5> units{"kB", "MB", "GB", "TB", "PB"};
    if (bytes < 1000)
        return spanish().toString(std::max<qint64>(bytes, 0)) + QStringLiteral(" B");
    double value = double(bytes);
    qsizetype unit = -1;
    // Past 999,95 a value would print as 1000,0 of its unit: the next unit reads better.
    while (value >= 999.95 && unit + 1 < qsizetype(units.size())) {
        value /= 1000.0;
        ++unit;
    }
    return spanish().toString(value, 'f', 1) + QLatin1Char(' ') + QLatin1String(units.at(unit));
}

QString durationText(qint64 seconds)
{
    if (seconds < 60)
        return QStringLiteral("%1 s").arg(std::max<qint64>(seconds, 0));
    const qint64 minutes = (seconds + 30) / 60;
    if (minutes < 60)
        return QStringLiteral("%1 min").arg(minutes);
    return QStringLiteral("%1 h %2 min").arg(minutes / 60).arg(minutes % 60);
}

QString transferText(const ServiceTransfer &transfer)
{
    QStringList parts;
    parts << QStringLiteral("%1 de %2 %3")
                 .arg(transfer.filesDone)
                 .arg(transfer.filesTotal)
                 .arg(transfer.filesTotal == 1 ? QStringLiteral("archivo")
                                               : QStringLiteral("archivos"));
    if (transfer.bytesTotal >= 0)
        parts << byteSizeText(transfer.bytesDone) + QStringLiteral(" de ") +
                     byteSizeText(transfer.bytesTotal);
    if (transfer.speed >= 1.0) {
        parts << byteSizeText(qint64(transfer.speed)) + QStringLiteral("/s");
        const qint64 left = transfer.bytesTotal - transfer.bytesDone;
        if (transfer.bytesTotal >= 0 && left > 0)
            parts << QStringLiteral("quedan ") +
                         durationText(qint64(std::ceil(double(left) / transfer.speed)));
    }
    return parts.join(QStringLiteral(" · "));
}

QString stallNotice(int seconds)
{
    return QStringLiteral("Sin progreso desde hace ") +
           (seconds < 60 ? QStringLiteral("%1 s").arg(std::max(seconds, 0))
                         : QStringLiteral("%1 min").arg(seconds / 60));
}

} // namespace skyloft
