// SPDX-License-Identifier: MIT
#pragma once

#include <QEasingCurve>

class QVariantAnimation;

namespace skyloft {

// The springs the screens move with, as an easing curve over the time the spring takes to
// settle. The curve ends exactly on the target, so nothing jumps when an animation finishes.
struct SpringMotion
{
    int durationMs;
    QEasingCurve curve;

    void applyTo(QVariantAnimation *animation) const;
};

// Response 0.5 s, damping fraction 1: no overshoot. The configuration tiles.
SpringMotion smoothSpring();
// Mass 1, stiffness 200, damping 10: a quick spring that overshoots and bounces back a little.
// The configuration toast.
SpringMotion bouncySpring();

} // namespace skyloft
