// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class QCoreApplication;

namespace skyloft {

// Installs the Spanish texts of the localizable keys (tab labels, menu titles).
void installTranslations(QCoreApplication &app);

// The text of a localizable key; a key without an entry shows itself.
QString localized(const char *key);

} // namespace skyloft
