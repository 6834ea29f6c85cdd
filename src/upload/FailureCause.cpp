// SPDX-License-Identifier: MIT
#include "upload/FailureCause.h"

#include "upload/CopyProgress.h"

#include <QRegularExpression>

#include <algorithm>

namespace skyloft {

namespace {

struct CauseRow
{
    FailureCause cause;
    const char *key;
    std::optional<PairState> onlyFor; // the step the cause can come from, when only one
    QList<int> exitCodes;             // rclone exit codes that mean this cause by themselves
    // What rclone (or the service through it) says for this cause, lower-case; a regular
    // expression where a bare number would match file names too.
    QStringList markers;
    QString pattern;
};

// Looked at in this order. A copy that cannot read its source is about the local file whatever
// else it says (rclone exits 3 or 4 when it is not there at all). A slow-down answer often names
// the quota it is about. An expired token whose refresh could not reach the service is a
// connection problem, so "couldn't fetch token" by itself is no authorization marker. rclone
// exits 5 for errors that a later attempt may fix.
const QList<CauseRow> &causeTable()
{
    static const QList<CauseRow> table{
        {FailureCause::ArchivoLocal,
         "archivo_local",
         PairState::CopiaFallida,
         {3, 4},
         {QStringLiteral("failed to open source object"), QStringLiteral("error reading source"),
          QStringLiteral("source file is being updated"),
          QStringLiteral("no such file or directory"), QStringLiteral("permission denied"),
          QStringLiteral("object not found"), QStringLiteral("directory not found"),
          QStringLiteral("is a directory")},
         {}},
        {FailureCause::SinEnlacePublico,
         "sin_enlace_publico",
         PairState::EnlaceFallido,
         {},
         {QStringLiteral("doesn't support public links"), QStringLiteral("public link"),
          QStringLiteral("sharing is disabled"), QStringLiteral("can't share")},
         {}},
        {FailureCause::DemasiadasPeticiones,
         "demasiadas_peticiones",
         std::nullopt,
         {},
         {QStringLiteral("too many requests"), QStringLiteral("toomanyrequests"),
          QStringLiteral("too_many_requests"), QStringLiteral("too_many_write_operations"),
          QStringLiteral("ratelimitexceeded"), QStringLiteral("rate limit"),
          QStringLiteral("slowdown"), QStringLiteral("flood")},
         QStringLiteral("(status code:?|error|http/[0-9.]+) *429\\b")},
        {FailureCause::Espacio,
         "espacio",
         std::nullopt,
         {},
         {QStringLiteral("quota"), QStringLiteral("insufficient_space"),
          QStringLiteral("insufficientstorage"), QStringLiteral("insufficient storage"),
          QStringLiteral("no space left"), QStringLiteral("not enough space"),
          QStringLiteral("storage cap"), QStringLiteral("storage full")},
         QStringLiteral("(status code:?|error|http/[0-9.]+) *507\\b")},
        {FailureCause::Autorizacion,
         "autorizacion",
         std::nullopt,
         {},
         {QStringLiteral("invalid_grant"), QStringLiteral("token has been expired or revoked"),
          QStringLiteral("expired_access_token"), QStringLiteral("invalid_access_token"),
          QStringLiteral("invalid_client"), QStringLiteral("failed to create oauth client"),
          QStringLiteral("empty token found"), QStringLiteral("unauthorized"),
          QStringLiteral("invalidaccesskeyid"), QStringLiteral("signaturedoesnotmatch"),
          QStringLiteral("accessdenied"), QStringLiteral("invalid credentials"),
          QStringLiteral("didn't find section in config file"),
          QStringLiteral("servicio no autorizado")},
         QStringLiteral("(status code:?|error|http/[0-9.]+) *401\\b")},
        {FailureCause::Conexion,
         "conexion",
         std::nullopt,
         {5},
         {QStringLiteral("dial tcp"), QStringLiteral("no such host"),
          QStringLiteral("connection refused"), QStringLiteral("connection reset"),
          QStringLiteral("network is unreachable"), QStringLiteral("no route to host"),
          QStringLiteral("temporary failure in name resolution"), QStringLiteral("i/o timeout"),
          QStringLiteral("deadline exceeded"), QStringLiteral("tls handshake"),
          QStringLiteral("unexpected eof"), QStringLiteral("broken pipe"),
          QStringLiteral("service unavailable"), QStringLiteral("bad gateway"),
          QStringLiteral("gateway timeout")},
         QStringLiteral("(status code:?|error|http/[0-9.]+) *50[234]\\b")},
        {FailureCause::Otro, "otro", std::nullopt, {}, {}, {}},
    };
    return table;
}

bool matches(const QString &lowered, const QStringList &markers, const QString &pattern)
{
    if (std::any_of(markers.cbegin(), markers.cend(),
                    [&](const QString &marker) { return lowered.contains(marker); }))
        return true;
    return !pattern.isEmpty() && lowered.contains(QRegularExpression(pattern));
}

// rclone's log prefix, "2026/12/05 17:06:12 " or "2026-12-05 17:06:12 ERROR : ".
QString withoutLogPrefix(QString line)
{
    static const QRegularExpression prefix(
        QStringLiteral("^\\d{4}[/-]\\d\\d[/-]\\d\\d \\d\\d:\\d\\d:\\d\\d (\\w+ *: )?"));
    line.remove(prefix);
    if (line.startsWith(QStringLiteral("❌ ")))
        line.remove(0, 2);
    return line.trimmed();
}

} // namespace

QString failureCauseKey(FailureCause cause)
{
    for (const CauseRow &row : causeTable()) {
        if (row.cause == cause)
            return QString::fromLatin1(row.key);
    }
    return {};
}

std::optional<FailureCause> failureCauseFromKey(const QString &key)
{
    for (const CauseRow &row : causeTable()) {
        if (key == QLatin1String(row.key))
            return row.cause;
    }
    return std::nullopt;
}

FailureCause classifyFailure(PairState state, int exitCode, const QString &rcloneOutput)
{
    const QString lowered = rcloneOutput.toLower();
    for (const CauseRow &row : causeTable()) {
        if (row.onlyFor && *row.onlyFor != state)
            continue;
        if (row.exitCodes.contains(exitCode) || matches(lowered, row.markers, row.pattern))
            return row.cause;
    }
    return FailureCause::Otro;
}

QString rcloneErrorLine(const QString &rcloneOutput)
{
    const QStringList lines = rcloneOutput.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (auto it = lines.crbegin(); it != lines.crend(); ++it) {
        if (it->contains(QStringLiteral("Failed to ")))
            return withoutLogPrefix(*it);
    }
    return lines.isEmpty() ? QString() : withoutLogPrefix(lines.last());
}

QString failureSentence(FailureCause cause, const QString &service, const QString &rcloneLine)
{
    switch (cause) {
    case FailureCause::Autorizacion:
        return QStringLiteral("La autorización de %1 ya no es válida. Vuelve a autorizarlo en "
                              "Configuración.")
            .arg(service);
    case FailureCause::Conexion:
        return QStringLiteral("No se pudo conectar con %1 o no respondió. Comprueba tu conexión a "
                              "Internet y vuelve a intentarlo.")
            .arg(service);
    case FailureCause::Espacio:
        return QStringLiteral("Tu espacio en %1 está lleno o has superado su cuota. Libera "
                              "espacio y vuelve a intentarlo.")
            .arg(service);
    case FailureCause::DemasiadasPeticiones:
        return QStringLiteral("%1 ha recibido demasiadas peticiones seguidas. Espera unos minutos "
                              "y vuelve a intentarlo.")
            .arg(service);
    case FailureCause::ArchivoLocal:
        return QStringLiteral("No se pudo leer el archivo en este equipo: se ha movido, se ha "
                              "borrado o no tienes permiso para abrirlo. Comprueba que sigue ahí.");
    case FailureCause::SinEnlacePublico:
        return QStringLiteral("El archivo está en %1, pero el servicio no da enlaces públicos "
                              "para él. Compártelo desde la web del servicio.")
            .arg(service);
    case FailureCause::Otro:
        break;
    }
    return QStringLiteral("rclone informó de un error: ") +
           (rcloneLine.isEmpty() ? QStringLiteral("sin más detalles.") : rcloneLine);
}

void explainFailure(PairOutcome &outcome)
{
    if (outcome.state != PairState::CopiaFallida && outcome.state != PairState::EnlaceFallido) {
        outcome.cause.clear();
        return;
    }
    // Skyloft's own reasons (no rclone, a service not authorized) have no rclone text.
    const QString text = outcome.rcloneOutput.isEmpty() ? outcome.detail : outcome.rcloneOutput;
    outcome.cause = failureCauseKey(classifyFailure(outcome.state, outcome.exitCode, text));
}

QString failureSentence(PairState state, const QString &cause, const QString &service,
                        const QString &rcloneText)
{
    if (state != PairState::CopiaFallida && state != PairState::EnlaceFallido)
        return {};
    const FailureCause known =
        failureCauseFromKey(cause).value_or(classifyFailure(state, 0, rcloneText));
    return failureSentence(known, service, rcloneErrorLine(rcloneText));
}

QString failureSentence(const PairOutcome &outcome)
{
    return failureSentence(outcome.state, outcome.cause, outcome.service,
                           outcome.rcloneOutput.isEmpty() ? outcome.detail : outcome.rcloneOutput);
}

void RcloneOutputTail::add(const QString &piece)
{
    static const QRegularExpression breaks(QStringLiteral("[\\r\\n]"));
    static const QRegularExpression escapes(QStringLiteral("\\x1b\\[[0-9;]*[A-Za-z]"));
    QString text = m_partial + piece;
    QStringList lines = text.remove(escapes).split(breaks);
    m_partial = lines.takeLast();
    for (const QString &line : std::as_const(lines))
        keep(line);
}

void RcloneOutputTail::clear()
{
    m_lines.clear();
    m_partial.clear();
}

QString RcloneOutputTail::text() const
{
    RcloneOutputTail copy = *this;
    copy.keep(m_partial);
    return copy.m_lines.join(QLatin1Char('\n'));
}

void RcloneOutputTail::keep(const QString &line)
{
    // A wrapped error goes on with a tab ("\tstatus code: 403"): it still belongs to the tail.
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty() || isStatisticsLine(trimmed))
        return;
    m_lines.append(line.startsWith(QLatin1Char('\t')) ? QStringLiteral("  ") + trimmed : trimmed);
    if (m_lines.size() > kLines)
        m_lines.removeFirst();
}

} // namespace skyloft
