// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace skyloft {

// One diagnostic line on standard output, UTF-8, flushed at once so that lines from several
// threads and from child processes sharing our stdout keep their order.
void logLine(const QString &line);

} // namespace skyloft
