// SPDX-License-Identifier: MIT
#include "screens/config/ServiceTile.h"

#include "core/ServiceCatalog.h"
#include "ui/Accessibility.h"
#include "ui/Images.h"
#include "ui/Spring.h"
#include "ui/SystemStyle.h"

#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>

namespace skyloft {

namespace {

constexpr qreal kCornerRadius = 10;
constexpr qreal kShadowRadius = 1;
constexpr qreal kSelectedShadowRadius = 5;
constexpr int kLogoSize = 25;
constexpr int kLogoSpacing = 6;
constexpr int kCheckMarkSize = 16;
constexpr int kCheckMarkOutset = 5;
constexpr qreal kFocusRingWidth = 3;
const QString kNoDisponible = QStringLiteral("No disponible");
const QString kEligeRemoto = QStringLiteral("Elige remoto");
const QString kRemoto = QStringLiteral("Remoto: ");
const QString kAutorizado = QStringLiteral("autorizado");

qreal between(qreal from, qreal to, qreal progress)
{
    return from + (to - from) * progress;
}

} // namespace

ServiceTile::ServiceTile(const QString &displayName, QWidget *parent)
    : PaintedButton(displayName, parent), m_animation(new QVariantAnimation(this))
{
    setFont(textStyleFont(TextStyle::Caption2));
    registerAccessibleTraits(this, [](QWidget *widget) {
        auto *tile = static_cast<ServiceTile *>(widget);
        return AccessibleTraits{QAccessible::Button,
                                [tile](QAccessible::State &state) {
                                    state.selectable = true;
                                    state.selected = tile->isSelected();
                                },
                                {},
                                [tile] { tile->click(); }};
    });
    smoothSpring().applyTo(m_animation);
    connect(m_animation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant &value) { setEmphasis(value.toReal()); });
    setFixedSize(sizeHint());
}

void ServiceTile::setSelected(bool selected)
{
    if (selected == m_selected)
        return;
    m_selected = selected;
    QAccessible::State changed;
    changed.selected = true;
    QAccessibleStateChangeEvent event(this, changed);
    QAccessible::updateAccessibility(&event);
    m_animation->stop();
    m_animation->setStartValue(m_emphasis);
    m_animation->setEndValue(selected ? 1.0 : 0.0);
    m_animation->start();
}

void ServiceTile::setAuthorized(bool authorized)
{
    if (authorized == m_authorized)
        return;
    m_authorized = authorized;
    describe();
}

void ServiceTile::setUnavailableReason(const QString &reason)
{
    if (reason == m_unavailableReason)
        return;
    m_unavailableReason = reason;
    describe();
}

void ServiceTile::setRemote(const ServiceRemote &remote)
{
    const ServiceEntry *entry = ServiceCatalog::find(displayName());
    QString line;
    if (remote.choiceNeeded)
        line = kEligeRemoto;
    else if (entry && remote.remote != entry->remoteName)
        line = remote.remote + QLatin1Char(':');
    if (line == m_remoteLine)
        return;
    m_remoteLine = line;
    describe();
}

void ServiceTile::describe()
{
    QStringList parts;
    if (!m_remoteLine.isEmpty())
        parts << (m_remoteLine == kEligeRemoto ? m_remoteLine : kRemoto + m_remoteLine);
    if (isUnavailable())
        parts << m_unavailableReason;
    const QString description = parts.join(QStringLiteral(". "));
    setToolTip(description);
    setAccessibleDescription(description);
    const QString state = isUnavailable()    ? kNoDisponible.toLower()
                          : showsCheckMark() ? kAutorizado
                                             : QString();
    setAccessibleName(state.isEmpty() ? text() : text() + QStringLiteral(", ") + state);
    update();
}

void ServiceTile::setEmphasis(qreal emphasis)
{
    m_emphasis = emphasis;
    setFixedSize(sizeHint());
    update();
}

QSize ServiceTile::plateSize() const
{
    return {qRound(between(kPlateSize.width(), kSelectedPlateSize.width(), m_emphasis)),
            qRound(between(kPlateSize.height(), kSelectedPlateSize.height(), m_emphasis))};
}

QRect ServiceTile::plateRect() const
{
    QRect plate({}, plateSize());
    plate.moveCenter(rect().center());
    return plate;
}

QSize ServiceTile::sizeHint() const
{
    return plateSize().grownBy({kMargin, kMargin, kMargin, kMargin});
}

bool ServiceTile::hitButton(const QPoint &pos) const
{
    return plateRect().contains(pos);
}

void ServiceTile::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF plate = plateRect();

    paintShadow(painter, plate, kCornerRadius,
                between(kShadowRadius, kSelectedShadowRadius, m_emphasis),
                QColor::fromRgbF(0, 0, 0, 0.33f));
    QPainterPath outline;
    outline.addRoundedRect(plate, kCornerRadius, kCornerRadius);
    painter.fillPath(outline, isDown() ? cardColour().darker(110) : cardColour());
    if (showsFocusRing())
        painter.strokePath(outline, QPen(systemBlue(0.5), kFocusRingWidth));

    // Logo above name, the pair centred on the plate; a missing image leaves its space empty.
    const QFontMetrics metrics(font());
    const QString status = isUnavailable()    ? kNoDisponible
                           : showsCheckMark() ? kAutorizado
                                              : QString();
    const int lines = 1 + (status.isEmpty() ? 0 : 1) + (m_remoteLine.isEmpty() ? 0 : 1);
    const qreal contentHeight = kLogoSize + kLogoSpacing + lines * metrics.height();
    const qreal top = plate.center().y() - contentHeight / 2;
    const QRectF logo(plate.center().x() - kLogoSize / 2.0, top, kLogoSize, kLogoSize);
    const qreal ratio = devicePixelRatioF();
    painter.drawPixmap(logo.topLeft(), cachedImagePixmap(serviceIconName(displayName()),
                                                         {kLogoSize, kLogoSize}, ratio));
    const QRectF name(plate.left(), logo.bottom() + kLogoSpacing, plate.width(), metrics.height());
    painter.setPen(labelColour());
    painter.drawText(name, Qt::AlignHCenter | Qt::AlignTop, displayName());
    QRectF below = name;
    painter.setPen(secondaryLabelColour());
    for (const QString &extra : {m_remoteLine, status}) {
        if (extra.isEmpty())
            continue;
        below.translate(0, metrics.height());
        painter.drawText(below, Qt::AlignHCenter | Qt::AlignTop,
                         metrics.elidedText(extra, Qt::ElideMiddle, int(plate.width()) - 8));
    }

    if (showsCheckMark()) {
        const QPointF corner = plate.topRight() + QPointF(kCheckMarkOutset, -kCheckMarkOutset);
        paintCheckBadge(
            painter,
            QRectF(corner.x() - kCheckMarkSize, corner.y(), kCheckMarkSize, kCheckMarkSize),
            checkBadgeOnPage());
    }
}

} // namespace skyloft
