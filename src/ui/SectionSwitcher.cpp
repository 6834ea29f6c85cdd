// SPDX-License-Identifier: MIT
#include "ui/SectionSwitcher.h"

#include <QPainter>
#include <QVariantAnimation>

namespace skyloft {

// Draws the two pictures of a change, `progress` of the way from the leaving section to the
// coming one. Input goes through to the section underneath.
class SectionSwitcher::Transition : public QWidget
{
public:
    explicit Transition(QWidget *parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }

    void start(const QPixmap &leaving, Edge leavingEdge, const QPixmap &coming, Edge comingEdge)
    {
        m_leaving = leaving;
        m_leavingEdge = leavingEdge;
        m_coming = coming;
        m_comingEdge = comingEdge;
        m_progress = 0.0;
        setGeometry(parentWidget()->rect());
        raise();
        show();
    }

    void setProgress(qreal progress)
    {
        m_progress = progress;
        update();
    }

    void finish()
    {
        hide();
        m_leaving = m_coming = QPixmap();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), palette().window());
        const auto offset = [this](Edge edge, qreal fraction) {
            return QPointF(0, (edge == Edge::Top ? -height() : height()) * fraction);
        };
        painter.setOpacity(1.0 - m_progress);
        painter.drawPixmap(offset(m_leavingEdge, m_progress), m_leaving);
        painter.setOpacity(m_progress);
        painter.drawPixmap(offset(m_comingEdge, 1.0 - m_progress), m_coming);
    }

private:
    QPixmap m_leaving;
    QPixmap m_coming;
    Edge m_leavingEdge = Edge::Top;
    Edge m_comingEdge = Edge::Bottom;
    qreal m_progress = 0.0;
};

SectionSwitcher::SectionSwitcher(QWidget *parent)
    : QWidget(parent), m_transition(new Transition(this)), m_animation(new QVariantAnimation(this))
{
    m_animation->setStartValue(0.0);
    m_animation->setEndValue(1.0);
    m_animation->setDuration(kAnimationMs);
    m_animation->setEasingCurve(QEasingCurve::InOutQuad);
    connect(m_animation, &QVariantAnimation::valueChanged, m_transition,
            [this](const QVariant &value) { m_transition->setProgress(value.toReal()); });
    connect(m_animation, &QAbstractAnimation::finished, m_transition,
            [this] { m_transition->finish(); });
}

void SectionSwitcher::addSection(QWidget *section, Edge edge)
{
    section->setParent(this);
    m_sections.append({section, edge});
    if (m_current < 0)
        m_current = int(m_sections.size()) - 1;
    settle();
    m_transition->raise();
}

bool SectionSwitcher::isAnimating() const
{
    return m_animation->state() == QAbstractAnimation::Running;
}

void SectionSwitcher::setCurrentIndex(int index)
{
    if (index == m_current || index < 0 || index >= m_sections.size())
        return;
    const Section leaving = m_sections.at(m_current);
    const Section coming = m_sections.at(index);
    m_current = index;
    m_animation->stop();
    if (!isVisible()) {
        m_transition->finish();
        settle();
        return;
    }
    const QPixmap leavingPicture = leaving.widget->grab();
    settle();
    m_transition->start(leavingPicture, leaving.edge, coming.widget->grab(), coming.edge);
    m_animation->start();
}

// The current section in place and shown, the others hidden.
void SectionSwitcher::settle()
{
    for (int i = 0; i < m_sections.size(); ++i) {
        QWidget *widget = m_sections.at(i).widget;
        widget->setGeometry(rect());
        widget->setVisible(i == m_current);
    }
}

void SectionSwitcher::resizeEvent(QResizeEvent *)
{
    settle();
    m_transition->setGeometry(rect());
}

} // namespace skyloft
