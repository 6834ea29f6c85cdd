// SPDX-License-Identifier: MIT
#include "shell/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace skyloft {

namespace {

void installTranslator(QCoreApplication &app, const QString &name, const QString &directory)
{
    auto *translator = new QTranslator(&app);
    if (translator->load(name, directory))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace

void installTranslations(QCoreApplication &app)
{
    installTranslator(app, QStringLiteral("skyloft_es"), QStringLiteral(":/i18n"));
    // Qt's own dialogs (file chooser, message boxes) speak Spanish too when the system carries
    // Qt's translations (Debian: qt6-translations-l10n); without them they stay in English.
    installTranslator(app, QStringLiteral("qtbase_es"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

QString localized(const char *key)
{
    return QCoreApplication::translate("Skyloft", key);
}

} // namespace skyloft
