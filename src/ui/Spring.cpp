// SPDX-License-Identifier: MIT
#include "ui/Spring.h"

#include <QVariantAnimation>

#include <cmath>
#include <numbers>

namespace skyloft {

namespace {

// Position of a spring released at 0 towards 1 with no initial velocity, `seconds` later.
qreal springPosition(qreal seconds, qreal naturalFrequency, qreal dampingRatio)
{
    const qreal decay = dampingRatio * naturalFrequency;
    if (dampingRatio >= 1.0)
        return 1.0 - (1.0 + naturalFrequency * seconds) * std::exp(-naturalFrequency * seconds);
    const qreal damped = naturalFrequency * std::sqrt(1.0 - dampingRatio * dampingRatio);
    return 1.0 - std::exp(-decay * seconds) *
                     (std::cos(damped * seconds) + decay / damped * std::sin(damped * seconds));
}

// The last few thousandths of the way are blended in over the whole run so that the curve
// reaches 1 exactly at the end.
qreal settled(qreal progress, qreal duration, qreal naturalFrequency, qreal dampingRatio)
{
    const qreal end = springPosition(duration, naturalFrequency, dampingRatio);
    return springPosition(progress * duration, naturalFrequency, dampingRatio) +
           (1.0 - end) * progress;
}

constexpr qreal kSmoothDuration = 0.6;
constexpr qreal kSmoothFrequency = 2 * std::numbers::pi / 0.5; // response 0.5 s
constexpr qreal kBouncyDuration = 0.9;
// Natural frequency sqrt(stiffness / mass); damping ratio damping / (2 sqrt(stiffness mass)).
const qreal kBouncyFrequency = std::sqrt(200.0);
const qreal kBouncyDamping = 10.0 / (2 * std::sqrt(200.0));

qreal smoothCurve(qreal progress)
{
    return settled(progress, kSmoothDuration, kSmoothFrequency, 1.0);
}

qreal bouncyCurve(qreal progress)
{
    return settled(progress, kBouncyDuration, kBouncyFrequency, kBouncyDamping);
}

SpringMotion motion(qreal seconds, QEasingCurve::EasingFunction function)
{
    QEasingCurve curve;
    curve.setCustomType(function);
    return {int(seconds * 1000), curve};
}

} // namespace

void SpringMotion::applyTo(QVariantAnimation *animation) const
{
    animation->setDuration(durationMs);
    animation->setEasingCurve(curve);
}

SpringMotion smoothSpring()
{
    return motion(kSmoothDuration, smoothCurve);
}

SpringMotion bouncySpring()
{
    return motion(kBouncyDuration, bouncyCurve);
}

} // namespace skyloft
