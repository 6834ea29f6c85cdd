// SPDX-License-Identifier: MIT
#pragma once

#include "upload/PairOutcome.h"

#include <QStringList>

namespace skyloft {

// Why a pair failed, in a few causes a user can act on. The key is what the JSON output and the
// history keep; the sentence is what the screens show.
enum class FailureCause
{
    Autorizacion,         // the service's authorization is missing, broken, expired or revoked
    Conexion,             // no connection, or the service did not answer
    Espacio,              // the service's quota or storage is full
    DemasiadasPeticiones, // the service asks to slow down
    ArchivoLocal,         // the file on this computer vanished or cannot be read
    SinEnlacePublico,     // the service gives no public link for this file
    Otro
};

QString failureCauseKey(FailureCause cause);
std::optional<FailureCause> failureCauseFromKey(const QString &key);

// Reads rclone's exit code and last lines for the step that failed (the copy for a failed copy,
// the link for a failed link). Pure: the same output always gives the same cause.
FailureCause classifyFailure(PairState state, int exitCode, const QString &rcloneOutput);

// The line of rclone's output that says what went wrong ("Failed to copy: ..." without its
// date), else its last line; empty when there is none.
QString rcloneErrorLine(const QString &rcloneOutput);

// What happened and what to do, in Spanish, for a pair of `service` (a display name).
QString failureSentence(FailureCause cause, const QString &service, const QString &rcloneLine);

// Sets `outcome.cause` for a failed pair and clears it for any other.
void explainFailure(PairOutcome &outcome);
// The sentence for a recorded pair (empty unless it failed); an unknown or missing key, from an
// older history row, is read again from the pair's rclone text (its last lines, else its detail).
QString failureSentence(PairState state, const QString &cause, const QString &service,
                        const QString &rcloneText);
QString failureSentence(const PairOutcome &outcome);

// The last few meaningful lines of one rclone step's output, fed piece by piece as it arrives:
// statistics blocks, progress lines and blank lines are left out, and a line split between two
// pieces is joined again.
class RcloneOutputTail
{
public:
    void add(const QString &piece);
    void clear();
    QString text() const;

    static constexpr qsizetype kLines = 6;

private:
    void keep(const QString &line);

    QStringList m_lines;
    QString m_partial;
};

} // namespace skyloft
