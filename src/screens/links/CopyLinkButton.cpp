// SPDX-License-Identifier: MIT
#include "screens/links/CopyLinkButton.h"

#include "screens/links/LinkCardDelegate.h"
#include "ui/SystemStyle.h"

#include <QPainter>
#include <QPainterPath>

namespace skyloft {

CopyLinkButton::CopyLinkButton(QWidget *parent) : QAbstractButton(parent)
{
    const QString name = QStringLiteral("Copiar enlace");
    setAccessibleName(name);
    setToolTip(name);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    resize(sizeHint());
}

void CopyLinkButton::setRetry(bool retry)
{
    m_retry = retry;
    const QString name = retry ? QStringLiteral("Reintentar") : QStringLiteral("Copiar enlace");
    setAccessibleName(name);
    setToolTip(name);
    update();
}

QSize CopyLinkButton::sizeHint() const
{
    return {LinkCardDelegate::kCopyButtonSize, LinkCardDelegate::kCopyButtonSize};
}

void CopyLinkButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_retry)
        LinkCardDelegate::paintRetryButton(&painter, rect());
    else
        LinkCardDelegate::paintCopyButton(&painter, rect(), devicePixelRatioF());
    QPainterPath outline;
    outline.addRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 7, 7);
    if (isDown())
        painter.fillPath(outline, systemBlue(0.15));
    if (hasFocus())
        painter.strokePath(outline, QPen(systemBlue(), 2));
}

} // namespace skyloft
