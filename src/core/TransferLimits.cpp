// SPDX-License-Identifier: MIT
#include "core/TransferLimits.h"

#include <QLocale>
#include <QRegularExpression>

namespace skyloft {

namespace {

const QString kSinLimite = QStringLiteral("Sin límite");
const QString kSinCaducidad = QStringLiteral("Sin caducidad");

bool meansNone(const QString &text, const QString &label)
{
    return text.isEmpty() || text.compare(label, Qt::CaseInsensitive) == 0 ||
           text.compare(QLatin1String("off"), Qt::CaseInsensitive) == 0;
}

struct Unit
{
    QString rclone;
    QString one;
    QString many;
};

// Units of a link's lifetime, each with the words that name it.
const QList<QPair<QStringList, Unit>> &expiryUnits()
{
    static const QList<QPair<QStringList, Unit>> units{
        {{"m", "min", "minuto", "minutos"}, {"m", "minuto", "minutos"}},
        {{"h", "hora", "horas"}, {"h", "hora", "horas"}},
        {{"", "d", "dia", "dias", "día", "días"}, {"d", "día", "días"}},
        {{"w", "sem", "semana", "semanas"}, {"w", "semana", "semanas"}},
    };
    return units;
}

} // namespace

std::optional<QString> bandwidthLimitFromText(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (meansNone(trimmed, kSinLimite))
        return QString();
    // A bare number is in MB/s, as the menu's choices are.
    static const QRegularExpression shape(
        QStringLiteral("^([0-9]+(?:[.,][0-9]+)?)\\s*(?:([kmg])(?:i?b)?(?:/s)?)?$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = shape.match(trimmed);
    if (!match.hasMatch())
        return std::nullopt;
    QString number = match.captured(1).replace(QLatin1Char(','), QLatin1Char('.'));
    if (number.toDouble() == 0)
        return QString();
    const QString unit = match.captured(2).isEmpty() ? QStringLiteral("M") : match.captured(2);
    return number + unit.toUpper();
}

QString bandwidthLimitLabel(const QString &rate)
{
    static const QRegularExpression shape(QStringLiteral("^([0-9]+(?:\\.[0-9]+)?)([KMG])$"));
    const QRegularExpressionMatch match = shape.match(rate);
    if (!match.hasMatch())
        return rate.isEmpty() ? kSinLimite : rate;
    return QLocale(QLocale::Spanish).toString(match.captured(1).toDouble(), 'g', 6) +
           QLatin1Char(' ') + match.captured(2) + QStringLiteral("B/s");
}

QStringList bandwidthLimitChoices()
{
    return {kSinLimite, bandwidthLimitLabel(QStringLiteral("1M")),
            bandwidthLimitLabel(QStringLiteral("5M")), bandwidthLimitLabel(QStringLiteral("10M"))};
}

std::optional<QString> linkExpiryFromText(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (meansNone(trimmed, kSinCaducidad))
        return QString();
    static const QRegularExpression shape(QStringLiteral("^([0-9]+)\\s*(\\w*)$"),
                                          QRegularExpression::UseUnicodePropertiesOption);
    const QRegularExpressionMatch match = shape.match(trimmed);
    if (!match.hasMatch())
        return std::nullopt;
    bool ok = false;
    const qint64 count = match.captured(1).toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    if (count == 0)
        return QString();
    const QString word = match.captured(2).toLower();
    for (const auto &[words, unit] : expiryUnits()) {
        if (words.contains(word))
            return QString::number(count) + unit.rclone;
    }
    return std::nullopt;
}

QString linkExpiryLabel(const QString &expiry)
{
    if (expiry.isEmpty())
        return kSinCaducidad;
    static const QRegularExpression shape(QStringLiteral("^([0-9]+)([a-z])$"));
    const QRegularExpressionMatch match = shape.match(expiry);
    for (const auto &[words, unit] : expiryUnits()) {
        if (match.hasMatch() && match.captured(2) == unit.rclone) {
            const qint64 count = match.captured(1).toLongLong();
            return QString::number(count) + QLatin1Char(' ') + (count == 1 ? unit.one : unit.many);
        }
    }
    return expiry;
}

QStringList linkExpiryChoices()
{
    return {kSinCaducidad, linkExpiryLabel(QStringLiteral("1d")),
            linkExpiryLabel(QStringLiteral("7d")), linkExpiryLabel(QStringLiteral("30d"))};
}

} // namespace skyloft
