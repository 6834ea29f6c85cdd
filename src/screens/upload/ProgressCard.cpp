// SPDX-License-Identifier: MIT
#include "screens/upload/ProgressCard.h"

#include "screens/upload/ServiceProgressBar.h"
#include "ui/StyledButton.h"
#include "ui/SystemStyle.h"
#include "upload/UploadState.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace skyloft {

namespace {

constexpr int kPadding = 8;
constexpr int kSpacing = 8;
constexpr qreal kRadius = 12;
constexpr int kCancelImageSize = 16;

StyledButton::Look cancelLook()
{
    StyledButton::Look look;
    look.imageSize = kCancelImageSize;
    return look;
}

} // namespace

ProgressCard::ProgressCard(const QString &displayName, QWidget *parent)
    : QWidget(parent), m_displayName(displayName), m_bar(new ServiceProgressBar(this)),
      m_cancel(
          new StyledButton(QString(), QStringLiteral("xmark.circle.fill"), cancelLook(), this)),
      m_transfer(textLabel(QStringLiteral("En espera"), textStyleFont(TextStyle::Caption),
                           secondaryLabelColour(), this)),
      m_notice(textLabel(QString(), textStyleFont(TextStyle::Caption), systemRed(), this))
{
    m_notice->hide();
    QLabel *name = textLabel(displayName + QLatin1Char(':'), textStyleFont(TextStyle::Headline),
                             labelColour(), this);

    const QString cancelText = QStringLiteral("Cancelar ") + displayName;
    m_cancel->setAccessibleName(cancelText);
    m_cancel->setToolTip(cancelText);
    connect(m_cancel, &QAbstractButton::clicked, this,
            [this] { Q_EMIT cancelRequested(m_displayName); });
    m_bar->setAccessibleName(displayName);

    auto *header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 0);
    header->addWidget(name);
    header->addStretch(1);
    header->addWidget(m_cancel);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(kPadding, kPadding, kPadding, kPadding);
    layout->setSpacing(kSpacing);
    layout->addLayout(header);
    layout->addWidget(m_bar);
    layout->addWidget(m_transfer);
    layout->addWidget(m_notice);
}

void ProgressCard::setProgress(const ServiceProgress *entry)
{
    if (entry)
        m_bar->setProgress(entry->progress, entry->fileName);
    else
        m_bar->setProgress(0.0, QString());
    if (m_cancelled)
        return;
    const int stalled = entry ? entry->stalledSeconds : 0;
    m_notice->setText(stalled > 0 ? stallNotice(stalled) : QString());
    m_notice->setAccessibleName(m_notice->text());
    m_notice->setVisible(stalled > 0);
}

void ProgressCard::setTransfer(const ServiceTransfer *transfer)
{
    const QString text = transfer ? skyloft::transferText(*transfer) : QStringLiteral("En espera");
    if (text == m_transfer->text())
        return;
    m_transfer->setText(text);
}

QString ProgressCard::transferText() const
{
    return m_transfer->text();
}

QString ProgressCard::notice() const
{
    return m_notice->isHidden() ? QString() : m_notice->text();
}

void ProgressCard::setCancelled(bool cancelled)
{
    if (cancelled == m_cancelled)
        return;
    m_cancelled = cancelled;
    m_cancel->setVisible(!cancelled);
    m_notice->setText(cancelled ? QStringLiteral("Cancelado") : QString());
    m_notice->setAccessibleName(m_notice->text());
    m_notice->setVisible(cancelled);
}

void ProgressCard::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), kRadius, kRadius);
    painter.fillPath(shape, cardColour(0.9));
}

} // namespace skyloft
