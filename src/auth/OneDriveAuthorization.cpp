// SPDX-License-Identifier: MIT
#include "auth/OneDriveAuthorization.h"

#include "auth/AuthorizationJob.h"
#include "core/Log.h"
#include "core/RcloneCommands.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QRegularExpression>

namespace skyloft {

namespace {

const QString kDriveIdKey = QStringLiteral("drive_id");

std::optional<QString> driveIdFromJson(const QString &output)
{
    const qsizetype first = output.indexOf(QLatin1Char('{'));
    const qsizetype last = output.lastIndexOf(QLatin1Char('}'));
    if (first < 0 || last < first)
        return std::nullopt;
    QJsonParseError error;
    const QJsonDocument document =
        QJsonDocument::fromJson(output.mid(first, last - first + 1).toUtf8(), &error);
    if (error.error != QJsonParseError::NoError) {
        logLine(QStringLiteral("Error al parsear JSON: ") + error.errorString());
        return std::nullopt;
    }
    if (!document.isObject())
        return std::nullopt;
    const QJsonValue value = document.object().value(kDriveIdKey);
    if (!value.isString())
        return std::nullopt;
    return value.toString();
}

std::optional<QString> driveIdFromPattern(const QString &output)
{
    static const QRegularExpression pattern(QStringLiteral(R"re("drive_id"\s*:\s*"([^"]+)")re"),
                                            QRegularExpression::UseUnicodePropertiesOption);
    const QRegularExpressionMatch match = pattern.match(output);
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1);
}

} // namespace

std::optional<QString> extractDriveId(const QString &output)
{
    if (auto fromJson = driveIdFromJson(output))
        return fromJson;
    return driveIdFromPattern(output);
}

void runOneDriveBranch(AuthorizationJob &job)
{
    const RclonePaths &paths = job.setup.paths;
    job.output =
        runRcloneCollect(paths, RcloneCommands::reconnect(job.configPath(), job.remoteName),
                         job.environment, QStringLiteral("y\n"), job.runHooks());
    const std::optional<QString> driveId = extractDriveId(job.output);
    if (!driveId) {
        logLine(QStringLiteral("No se pudo extraer drive_id para OneDrive"));
        return;
    }
    const QString updated = runRcloneCollect(
        paths, RcloneCommands::updateDriveId(job.configPath(), job.remoteName, *driveId),
        job.environment, std::nullopt, job.runHooks());
    logLine(QStringLiteral("OneDrive drive_id actualizado: ") + *driveId +
            QStringLiteral(". Resultado update: ") + updated);
    job.output += QLatin1Char('\n') + updated;
}

} // namespace skyloft
