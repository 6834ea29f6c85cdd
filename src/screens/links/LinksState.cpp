// SPDX-License-Identifier: MIT
#include "screens/links/LinksState.h"

#include "screens/links/ServiceSection.h"
#include "upload/GeneratedLinks.h"
#include "upload/UploadRun.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTimer>

namespace skyloft {

namespace {

void putOnClipboard(const QString &text)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

} // namespace

LinksState::LinksState(GeneratedLinks *generatedLinks, RclonePaths paths, QObject *parent)
    : QObject(parent), m_generatedLinks(generatedLinks), m_paths(std::move(paths))
{}

void LinksState::retry(const QString &remoteName, qsizetype item)
{
    const LinkItem original = m_generatedLinks->links().value(remoteName).value(item);
    const QString key = remoteName + QLatin1Char('/') + QString::number(item);
    if (!original.failed() || m_retrying.contains(key))
        return;
    m_retrying.insert(key);
    UploadRun *run = UploadRun::retry(original.service, original.localPath, m_paths, this);
    connect(run, &UploadRun::pairFinished, this,
            [this, remoteName, item, original](const PairOutcome &outcome) {
                // The list may have been cleared meanwhile: only the same card is replaced.
                if (m_generatedLinks->links().value(remoteName).value(item) == original)
                    m_generatedLinks->replace(remoteName, item, LinkItem::fromOutcome(outcome));
            });
    connect(run, &UploadRun::finished, this, [this, run, key] {
        m_retrying.remove(key);
        run->deleteLater();
    });
    Q_EMIT runStarted(run);
    run->start();
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
