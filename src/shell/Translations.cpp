// SPDX-License-Identifier: MIT
#include "shell/Translations.h"

#include <QCoreApplication>
#include <QTranslator>

namespace skyloft {

void installTranslations(QCoreApplication &app)
{
    auto *translator = new QTranslator(&app);
    if (translator->load(QStringLiteral(":/i18n/skyloft_es.qm")))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

QString localized(const char *key)
{
    return QCoreApplication::translate("Skyloft", key);
}

} // namespace skyloft
