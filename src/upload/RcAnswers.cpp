// SPDX-License-Identifier: MIT
#include "upload/RcAnswers.h"

#include <QJsonDocument>

#include <algorithm>

namespace skyloft {

std::optional<qint64> rcJobId(const QJsonObject &answer)
{
    const QJsonValue id = answer.value(QLatin1String("jobid"));
    if (!id.isDouble())
        return std::nullopt;
    return id.toInteger();
}

std::optional<RcJobStatus> rcJobStatus(const QJsonObject &answer)
{
    const QJsonValue finished = answer.value(QLatin1String("finished"));
    if (!finished.isBool())
        return std::nullopt;
    return RcJobStatus{finished.toBool(), answer.value(QLatin1String("success")).toBool(),
                       answer.value(QLatin1String("error")).toString()};
}

std::optional<double> rcStatsFraction(const QJsonObject &answer)
{
    const QJsonValue bytes = answer.value(QLatin1String("bytes"));
    const QJsonValue total = answer.value(QLatin1String("totalBytes"));
    if (!bytes.isDouble() || !total.isDouble() || total.toDouble() <= 0)
        return std::nullopt;
    return std::clamp(bytes.toDouble() / total.toDouble(), 0.0, 1.0);
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

QString rcJobGroup(qint64 jobId)
{
    return QStringLiteral("job/") + QString::number(jobId);
}

} // namespace skyloft
