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
                const auto it = m_retrying.constFind(run);
                if (it == m_retrying.cend())
                    return;
                // The list may have been cleared meanwhile: only the same card is replaced.
                if (m_generatedLinks->links().value(it->remoteName).value(it->item) == it->original)
                    m_generatedLinks->replace(it->remoteName, it->item,
                                              LinkItem::fromOutcome(outcome));
            });
    connect(m_runs, &UploadRuns::runFinished, this,
            [this](UploadRun *run) { m_retrying.remove(run); });
}

void LinksState::retry(const QString &remoteName, qsizetype item)
{
    const LinkItem original = m_generatedLinks->links().value(remoteName).value(item);
    if (!original.failed() ||
        std::any_of(m_retrying.cbegin(), m_retrying.cend(), [&](const RetriedCard &card) {
            return card.remoteName == remoteName && card.item == item;
        }))
        return;
    PairOutcome pair;
    pair.service = original.service;
    pair.remote = original.remote.isEmpty() ? remoteName : original.remote;
    pair.fileName = original.fileName;
    pair.localPath = original.localPath;
    m_retrying.insert(m_runs->retry({pair}, RunOrigin::LinksRetry), {remoteName, item, original});
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
