// SPDX-License-Identifier: MIT
#include "screens/links/LinksState.h"

#include "screens/links/ServiceSection.h"
#include "upload/UploadRuns.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTimer>

#include <algorithm>

namespace skyloft {

namespace {

void putOnClipboard(const QString &text)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

} // namespace

LinksState::LinksState(GeneratedLinks *generatedLinks, UploadRuns *runs, QObject *parent)
    : QObject(parent), m_generatedLinks(generatedLinks), m_runs(runs)
{
    connect(m_runs, &UploadRuns::pairFinished, this,
            [this](UploadRun *run, const PairOutcome &outcome) {
                for (const RetriedCard &card : m_retrying.value(run)) {
                    // The list may have been cleared meanwhile: only the same card is replaced.
                    if (card.original.service == outcome.service &&
                        card.original.localPath == outcome.localPath &&
                        m_generatedLinks->links().value(card.remoteName).value(card.item) ==
                            card.original)
                        m_generatedLinks->replace(card.remoteName, card.item,
                                                  LinkItem::fromOutcome(outcome));
                }
            });
    connect(m_runs, &UploadRuns::runFinished, this,
            [this](UploadRun *run) { m_retrying.remove(run); });
}

void LinksState::retry(const QString &remoteName, qsizetype item)
{
    retryCards({{remoteName, item}});
}

void LinksState::retryFailed()
{
    QList<QPair<QString, qsizetype>> failed;
    const LinksByRemote &links = m_generatedLinks->links();
    for (auto it = links.cbegin(); it != links.cend(); ++it) {
        for (qsizetype item = 0; item < it->size(); ++item) {
            if (it->at(item).failed())
                failed.append({it.key(), item});
        }
    }
    retryCards(failed);
}

bool LinksState::hasFailed() const
{
    const LinksByRemote &links = m_generatedLinks->links();
    return std::any_of(links.cbegin(), links.cend(), [](const QList<LinkItem> &items) {
        return std::any_of(items.cbegin(), items.cend(),
                           [](const LinkItem &item) { return item.failed(); });
    });
}

bool LinksState::isRetrying(const QString &remoteName, qsizetype item) const
{
    return std::any_of(m_retrying.cbegin(), m_retrying.cend(), [&](const QList<RetriedCard> &run) {
        return std::any_of(run.cbegin(), run.cend(), [&](const RetriedCard &card) {
            return card.remoteName == remoteName && card.item == item;
        });
    });
}

void LinksState::retryCards(const QList<QPair<QString, qsizetype>> &positions)
{
    QList<RetriedCard> cards;
    QList<PairOutcome> pairs;
    for (const auto &[remoteName, item] : positions) {
        const LinkItem original = m_generatedLinks->links().value(remoteName).value(item);
        if (!original.failed() || isRetrying(remoteName, item))
            continue;
        PairOutcome pair;
        pair.service = original.service;
        pair.remote = original.remote.isEmpty() ? remoteName : original.remote;
        pair.fileName = original.fileName;
        pair.localPath = original.localPath;
        pairs << pair;
        cards << RetriedCard{remoteName, item, original};
    }
    if (!pairs.isEmpty())
        m_retrying.insert(m_runs->retry(pairs, RunOrigin::LinksRetry), cards);
}

void LinksState::copyLink(const QString &link)
{
    putOnClipboard(link);
    notify(QStringLiteral("📋 Enlace copiado"));
}

void LinksState::copyAll()
{
    putOnClipboard(allLinksText(serviceSections(m_generatedLinks->links())));
    notify(QStringLiteral("📋 Enlaces copiados"));
}

void LinksState::notify(const QString &text)
{
    if (text != m_toastText) {
        m_toastText = text;
        Q_EMIT toastTextChanged(text);
    }
    setShowToast(true);
    QTimer::singleShot(m_toastMs, Qt::PreciseTimer, this, [this] { setShowToast(false); });
}

void LinksState::requestClear()
{
    setShowClearConfirmation(true);
}

void LinksState::answerClear(bool erase)
{
    if (erase)
        m_generatedLinks->clear();
    setShowClearConfirmation(false);
}

void LinksState::setShowToast(bool shown)
{
    if (shown == m_showToast)
        return;
    m_showToast = shown;
    Q_EMIT showToastChanged(shown);
}

void LinksState::setShowClearConfirmation(bool shown)
{
    if (shown == m_showClearConfirmation)
        return;
    m_showClearConfirmation = shown;
    Q_EMIT showClearConfirmationChanged(shown);
}

} // namespace skyloft
