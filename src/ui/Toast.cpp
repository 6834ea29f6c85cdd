// SPDX-License-Identifier: MIT
#include "ui/Toast.h"

#include "ui/Accessibility.h"
#include "ui/SystemStyle.h"

#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QPainter>
#include <QPainterPath>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>

namespace skyloft {

namespace {

constexpr qreal kRadius = 10;

} // namespace

Toast::Toast(const QString &text, Edge edge, int margin, QWidget *parent)
    : QLabel(text, parent), m_edge(edge), m_margin(margin),
      m_opacity(new QGraphicsOpacityEffect(this)),
      m_move(new QPropertyAnimation(this, "pos", this)),
      m_fade(new QPropertyAnimation(m_opacity, "opacity", this)),
      m_animation(new QParallelAnimationGroup(this))
{
    // QFrame owns a label's contents margins; the label's own margin is the padding.
    setMargin(kDefaultPadding);
    setFont(textStyleFont(TextStyle::Body));
    setTextColour(this, onPlateColour());
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGraphicsEffect(m_opacity);
    setAccessibleName(text);
    registerAccessibleTraits(this, [](QWidget *) {
        return AccessibleTraits{QAccessible::AlertMessage, {}, {}, {}};
    });
    adjustSize();
    hide();

    m_animation->addAnimation(m_move);
    m_animation->addAnimation(m_fade);
    setMotion(kAnimationMs, QEasingCurve::InOutQuad);
    connect(m_animation, &QAbstractAnimation::finished, this, [this] {
        if (!m_shown)
            hide();
    });
    parent->installEventFilter(this);
}

void Toast::setMotion(int durationMs, const QEasingCurve &curve)
{
    for (QPropertyAnimation *animation : {m_move, m_fade}) {
        animation->setDuration(durationMs);
        animation->setEasingCurve(curve);
    }
}

void Toast::setMessage(const QString &text)
{
    if (text == this->text())
        return;
    setText(text);
    setAccessibleName(text);
    adjustSize();
    if (m_shown && m_animation->state() != QAbstractAnimation::Running)
        move(shownPosition());
    if (m_shown)
        announceAlert(this);
}

void Toast::setShown(bool shown)
{
    if (shown == m_shown)
        return;
    m_shown = shown;
    m_animation->stop();
    if (shown)
        adjustSize();
    m_move->setStartValue(shown ? hiddenPosition() : pos());
    m_move->setEndValue(shown ? shownPosition() : hiddenPosition());
    m_fade->setStartValue(shown ? 0.0 : m_opacity->opacity());
    m_fade->setEndValue(shown ? 1.0 : 0.0);
    if (shown) {
        move(hiddenPosition());
        m_opacity->setOpacity(0.0);
        show();
        raise();
        announceAlert(this);
    }
    m_animation->start();
}

QPoint Toast::shownPosition() const
{
    const QWidget *parent = parentWidget();
    const int x = (parent->width() - width()) / 2;
    return {x, m_edge == Edge::Top ? m_margin : parent->height() - m_margin - height()};
}

QPoint Toast::hiddenPosition() const
{
    const QWidget *parent = parentWidget();
    return {(parent->width() - width()) / 2, m_edge == Edge::Top ? -height() : parent->height()};
}

void Toast::paintEvent(QPaintEvent *event)
{
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath plate;
        plate.addRoundedRect(QRectF(rect()), kRadius, kRadius);
        painter.fillPath(plate, toastPlateColour());
    }
    QLabel::paintEvent(event);
}

bool Toast::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize && m_shown &&
        m_animation->state() != QAbstractAnimation::Running)
        move(shownPosition());
    return QLabel::eventFilter(watched, event);
}

} // namespace skyloft
