// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>

namespace skyloft {

// "1..+2.x." -> {1, 2, 0}: split at ".", empty parts dropped, a part that is not a plain base-10
// integer (optional sign, ASCII digits only, fits in 64 bits) counts as 0.
QList<qint64> versionComponents(const QString &version);

// Whether `published` is ahead of `current` at the first differing component; components past the
// shorter list are ignored, so "1.0.0.1" is not newer than "1.0.0".
bool isNewerVersion(const QString &current, const QString &published);

} // namespace skyloft
