// SPDX-License-Identifier: MIT
#pragma once

#include "upload/PairOutcome.h"

#include <QDateTime>
#include <QMetaType>

#include <optional>

namespace skyloft {

// One recorded pair of a run, as the history keeps it.
struct HistoryEntry
{
    qint64 id = 0;  // the database's row id; 0 before it is stored
    QDateTime when; // when the pair ended, UTC
    PairOutcome pair;
};

// The state a history row stored as text, or nothing for a word this version does not know.
std::optional<PairState> pairStateFromText(const QString &text);

// Whether the pair failed and may be tried again.
inline bool canRetry(const PairOutcome &pair)
{
    return pair.state == PairState::CopiaFallida || pair.state == PairState::EnlaceFallido;
}

} // namespace skyloft

Q_DECLARE_METATYPE(skyloft::HistoryEntry)
