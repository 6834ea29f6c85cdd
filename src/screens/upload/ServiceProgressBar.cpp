// SPDX-License-Identifier: MIT
#include "screens/upload/ServiceProgressBar.h"

#include "ui/SystemStyle.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPropertyAnimation>

#include <algorithm>

namespace skyloft {

namespace {

constexpr qreal kRadius = 12;
constexpr int kTextPadding = 10;
constexpr qreal kTextPoints = 10;

// Screen readers see a progress bar with its value in percent, as for a QProgressBar.
class AccessibleServiceProgressBar : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit AccessibleServiceProgressBar(QWidget *widget)
        : QAccessibleWidget(widget, QAccessible::ProgressBar)
    {}
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text type) const override
    {
        if (type == QAccessible::Value)
            return bar()->percentageText();
        return QAccessibleWidget::text(type);
    }
    QVariant currentValue() const override { return int(bar()->progress() * 100); }
    void setCurrentValue(const QVariant &) override {}
    QVariant maximumValue() const override { return 100; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

private:
    const ServiceProgressBar *bar() const
    {
        return static_cast<const ServiceProgressBar *>(object());
    }
};

QAccessibleInterface *accessibleProgressBar(const QString &className, QObject *object)
{
    if (className == QLatin1String("skyloft::ServiceProgressBar") && object->isWidgetType())
        return new AccessibleServiceProgressBar(static_cast<QWidget *>(object));
    return nullptr;
}

} // namespace

ServiceProgressBar::ServiceProgressBar(QWidget *parent)
    : QWidget(parent), m_animation(new QPropertyAnimation(this, "shownProgress", this))
{
    setFixedHeight(kHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFont(systemFont(kTextPoints, QFont::Medium));
    m_animation->setDuration(kAnimationMs);
    m_animation->setEasingCurve(QEasingCurve::InOutQuad);
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(accessibleProgressBar);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    updateAccessibleText();
}

void ServiceProgressBar::setProgress(double progress, const QString &fileName)
{
    if (m_fileName != fileName) {
        m_fileName = fileName;
        update();
    }
    if (m_progress != progress) {
        m_progress = progress;
        m_animation->stop();
        if (isVisible()) {
            m_animation->setStartValue(m_shownProgress);
            m_animation->setEndValue(progress);
            m_animation->start();
        } else {
            setShownProgress(progress);
        }
    }
    updateAccessibleText();
}

QString ServiceProgressBar::percentageText() const
{
    // Truncated toward zero, as an integer conversion does.
    return QString::number(static_cast<int>(m_progress * 100)) + QLatin1Char('%');
}

qreal ServiceProgressBar::fillWidth() const
{
    return std::clamp(m_shownProgress, 0.0, 1.0) * width();
}

QSize ServiceProgressBar::sizeHint() const
{
    return {200, kHeight};
}

void ServiceProgressBar::setShownProgress(qreal progress)
{
    m_shownProgress = progress;
    update();
}

void ServiceProgressBar::updateAccessibleText()
{
    setAccessibleDescription(m_fileName.isEmpty()
                                 ? percentageText()
                                 : m_fileName + QStringLiteral(", ") + percentageText());
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent event(this, int(m_progress * 100));
        QAccessible::updateAccessibility(&event);
    }
}

void ServiceProgressBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF track = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    // A 16-point bar cannot round by 12: the corners meet at half its height, a capsule.
    const qreal radius = std::min(kRadius, track.height() / 2);
    QPainterPath trackShape;
    trackShape.addRoundedRect(track, radius, radius);
    // Darker than the plain grey so that the white labels read on it.
    painter.fillPath(trackShape, greyPlateColour());
    painter.strokePath(trackShape, QPen(greyPlateColour(), 1));

    const qreal fill = fillWidth();
    if (fill > 0) {
        QLinearGradient gradient(0, 0, fill, 0);
        gradient.setColorAt(0, bluePlateColour(0.6));
        gradient.setColorAt(1, bluePlateColour());
        QPainterPath fillShape;
        const qreal fillRadius = std::min(radius, fill / 2);
        fillShape.addRoundedRect(QRectF(0, 0, fill, height()), fillRadius, fillRadius);
        painter.fillPath(fillShape, gradient);
    }

    painter.setPen(onPlateColour());
    const QRect textRect = rect().adjusted(kTextPadding, 0, -kTextPadding, 0);
    const QString percentage = percentageText();
    const int percentageWidth = fontMetrics().horizontalAdvance(percentage);
    const QString name = fontMetrics().elidedText(
        m_fileName, Qt::ElideMiddle, textRect.width() - percentageWidth - kTextPadding);
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, name);
    painter.drawText(textRect, Qt::AlignRight | Qt::AlignVCenter, percentage);
}

} // namespace skyloft
