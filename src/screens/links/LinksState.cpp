// SPDX-License-Identifier: MIT
#include "screens/links/LinksState.h"

#include "screens/links/ServiceSection.h"
#include "upload/GeneratedLinks.h"

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

LinksState::LinksState(GeneratedLinks *generatedLinks, QObject *parent)
    : QObject(parent), m_generatedLinks(generatedLinks)
{}

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
    QTimer::singleShot(kToastMs, Qt::PreciseTimer, this, [this] { setShowToast(false); });
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
