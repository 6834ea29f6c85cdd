// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <QMetaType>
#include <QString>

namespace skyloft {

// How one (service, file) pair of a run ended. The run still asks for a link after a failed copy,
// but keeps rclone's exit status so that a failure is never shown as a link.
enum class PairState
{
    Subido,
    CopiaFallida,
    EnlaceFallido,
    Cancelado
};

// The words the screens, the headless output and the history use for each state.
inline QString pairStateText(PairState state)
{
    switch (state) {
    case PairState::Subido:
        return QStringLiteral("subido");
    case PairState::CopiaFallida:
        return QStringLiteral("copia fallida");
    case PairState::EnlaceFallido:
        return QStringLiteral("enlace fallido");
    case PairState::Cancelado:
        return QStringLiteral("cancelado");
    }
    return {};
}

// One pair as a run records it, the moment it ends.
struct PairOutcome
{
    QString service;   // display name, "Google Drive"
    QString remote;    // remote name, "drive"
    QString fileName;  // last path component, as uploaded
    QString localPath; // the queued path
    qint64 size = -1;  // bytes, -1 when the file could not be read
    QString link;      // empty unless state is Subido
    PairState state = PairState::Subido;
    QString detail; // rclone's last non-empty output line when something failed
    // Of the rclone step that failed (copy, or link when only the link failed): its exit code
    // (-1 when unknown, as with the daemon) and its last meaningful lines. Read for `cause`.
    int exitCode = 0;
    QString rcloneOutput;
    QString cause;   // why it failed (FailureCause.h), empty unless it failed
    QDateTime ended; // UTC, when the run ended it; invalid for a pair not from a run
};

} // namespace skyloft

Q_DECLARE_METATYPE(skyloft::PairOutcome)
