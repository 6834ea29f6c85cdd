// SPDX-License-Identifier: MIT
#include "upload/RcAnswers.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace skyloft {

std::optional<quint16> rcServingPort(QByteArrayView line)
{
    static constexpr QByteArrayView kServing = "Serving remote control on http://127.0.0.1:";
    const qsizetype at = line.indexOf(kServing);
    if (at < 0)
        return std::nullopt;
    QByteArrayView rest = line.sliced(at + kServing.size());
    const qsizetype slash = rest.indexOf('/');
    if (slash <= 0)
        return std::nullopt;
    bool ok = false;
    const uint port = rest.first(slash).toUInt(&ok);
    if (!ok || port == 0 || port > 65535)
        return std::nullopt;
    return quint16(port);
}

std::optional<RcCopyStats> rcCopyStats(const QJsonObject &answer)
{
    const QJsonValue bytes = answer.value(QLatin1String("bytes"));
    if (!bytes.isDouble())
        return std::nullopt;
    // While the copy runs, its entry in "transferring" has the current speed and the size;
    // afterwards only the group's totals are left.
    const QJsonArray transferring = answer.value(QLatin1String("transferring")).toArray();
    const QJsonObject current = transferring.isEmpty() ? QJsonObject() : transferring[0].toObject();
    const auto number = [&](QLatin1String currentKey, QLatin1String groupKey) {
        const QJsonValue value = current.value(currentKey);
        return value.isDouble() ? value : answer.value(groupKey);
    };
    RcCopyStats stats;
    stats.bytes = bytes.toInteger();
    const QJsonValue size = number(QLatin1String("size"), QLatin1String("totalBytes"));
    if (size.isDouble() && size.toInteger() > 0)
        stats.size = size.toInteger();
    stats.speed = number(QLatin1String("speed"), QLatin1String("speed")).toDouble();
    const QJsonValue eta = number(QLatin1String("eta"), QLatin1String("eta"));
    if (eta.isDouble())
        stats.eta = eta.toInteger();
    return stats;
}

std::optional<QString> rcPublicLink(const QJsonObject &answer)
{
    const QJsonValue url = answer.value(QLatin1String("url"));
    if (!url.isString())
        return std::nullopt;
    return url.toString().trimmed();
}

QString rcErrorText(const QJsonObject &answer)
{
    return answer.value(QLatin1String("error")).toString();
}

QString rcAnswerText(const QJsonObject &answer)
{
    return QString::fromUtf8(QJsonDocument(answer).toJson(QJsonDocument::Compact));
}

} // namespace skyloft
