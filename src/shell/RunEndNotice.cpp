// SPDX-License-Identifier: MIT
#include "shell/RunEndNotice.h"

#include "core/Log.h"
#include "shell/TrayIcon.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QWidget>

namespace skyloft {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const QString kAppId = QStringLiteral("app.skyloft.Skyloft");
const QString kDefaultAction = QStringLiteral("default");
const QString kShowLinksAction = QStringLiteral("ver-enlaces");
const QString kCopyLinksAction = QStringLiteral("copiar-enlaces");
constexpr int kExpireDefault = -1;
// Desktop notification urgency levels (1 normal, 2 critical); a failed pair asks for attention.
constexpr uchar kUrgencyNormal = 1;
constexpr uchar kUrgencyCritical = 2;

QString count(int n, const QString &one, const QString &many)
{
    return QString::number(n) + QLatin1Char(' ') + (n == 1 ? one : many);
}

} // namespace

RunEndNotice::RunEndNotice(QWidget *window, RunEndActions actions, TrayIcon *tray, QObject *parent)
    : QObject(parent), m_window(window), m_actions(std::move(actions)), m_tray(tray)
{
    if (tray) {
        connect(tray, &TrayIcon::messageClicked, this, [this] {
            if (m_actions.showLinks)
                m_actions.showLinks();
        });
    }
}

QString RunEndNotice::summary()
{
    return QStringLiteral("Subida terminada");
}

QString RunEndNotice::body(int links, int failedPairs)
{
    QString text =
        count(links, QStringLiteral("enlace generado"), QStringLiteral("enlaces generados"));
    if (failedPairs > 0)
        text += QStringLiteral(", ") + count(failedPairs, QStringLiteral("subida fallida"),
                                             QStringLiteral("subidas fallidas"));
    return text + QLatin1Char('.');
}

RunTally RunTally::of(const QList<PairOutcome> &outcomes)
{
    RunTally tally;
    for (const PairOutcome &outcome : outcomes) {
        if (outcome.state == PairState::Subido && !outcome.link.isEmpty())
            ++tally.links;
        else if (outcome.state == PairState::CopiaFallida ||
                 outcome.state == PairState::EnlaceFallido)
            ++tally.failed;
    }
    return tally;
}

void RunEndNotice::runEnded(const QList<PairOutcome> &outcomes)
{
    const RunTally tally = RunTally::of(outcomes);
    runEnded(tally.links, tally.failed);
}

void RunEndNotice::runEnded(int links, int failedPairs)
{
    if (m_window && m_window->isActiveWindow())
        return;
    const QString title = summary();
    const QString text = body(links, failedPairs);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        showInTray(title, text);
        return;
    }
    if (!m_listening) {
        m_listening = bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"),
                                  this, SLOT(actionInvoked(uint, QString)));
    }
    QStringList actions{kDefaultAction, QStringLiteral("Ver enlaces"), kShowLinksAction,
                        QStringLiteral("Ver enlaces")};
    if (links > 0)
        actions << kCopyLinksAction << QStringLiteral("Copiar enlaces");
    const QVariantMap hints{
        {QStringLiteral("desktop-entry"), kAppId},
        {QStringLiteral("urgency"),
         QVariant::fromValue(failedPairs > 0 ? kUrgencyCritical : kUrgencyNormal)},
        {QStringLiteral("category"),
         failedPairs > 0 ? QStringLiteral("transfer.error") : QStringLiteral("transfer.complete")},
    };
    QDBusMessage notify =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    notify << QStringLiteral("Skyloft") << uint(0) << kAppId << title << text << actions << hints
           << kExpireDefault;
    // Asynchronous: the GUI thread never waits for the notification service.
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(notify), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, title, text] {
        watcher->deleteLater();
        const QDBusPendingReply<uint> reply = *watcher;
        if (reply.isError()) {
            showInTray(title, text);
            return;
        }
        m_lastId = reply.value();
    });
}

void RunEndNotice::actionInvoked(uint id, const QString &actionKey)
{
    if (id != m_lastId)
        return;
    if ((actionKey == kDefaultAction || actionKey == kShowLinksAction) && m_actions.showLinks)
        m_actions.showLinks();
    else if (actionKey == kCopyLinksAction && m_actions.copyLinks)
        m_actions.copyLinks();
}

void RunEndNotice::showInTray(const QString &title, const QString &text)
{
    if (!m_tray || !m_tray->showMessage(title, text))
        logLine(QStringLiteral("⚠️ Sin servicio de avisos del escritorio: ") + title +
                QStringLiteral(". ") + text);
}

} // namespace skyloft
