// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace skyloft {

// The text when the bytes are valid UTF-8 (a sequence cut at the end is not), else nothing.
std::optional<QString> decodeUtf8Strictly(const QByteArray &bytes);

} // namespace skyloft
