// SPDX-License-Identifier: MIT
#include "shell/LauncherEntry.h"

#include <QDBusMessage>

#include <cmath>

namespace skyloft {

namespace {

const QString kPath = QStringLiteral("/app/skyloft/Skyloft/LauncherEntry");
const QString kInterface = QStringLiteral("com.canonical.Unity.LauncherEntry");
const QString kAppUri = QStringLiteral("application://app.skyloft.Skyloft.desktop");

} // namespace

LauncherEntry::LauncherEntry(QDBusConnection bus, QObject *parent)
    : QObject(parent), m_bus(std::move(bus))
{}

void LauncherEntry::setProgress(std::optional<double> progress)
{
    std::optional<int> percent;
    if (progress)
        percent = int(std::floor(*progress * 100.0));
    if (percent == m_shownPercent || !m_bus.isConnected())
        return;
    m_shownPercent = percent;
    QDBusMessage update = QDBusMessage::createSignal(kPath, kInterface, QStringLiteral("Update"));
    update << kAppUri
           << QVariantMap{{QStringLiteral("progress"), percent ? *percent / 100.0 : 0.0},
                          {QStringLiteral("progress-visible"), percent.has_value()}};
    m_bus.send(update);
}

} // namespace skyloft
