// SPDX-License-Identifier: MIT
#pragma once

#include "ui/PaintedButton.h"

namespace skyloft {

// The configuration screen's wide blue button with white semibold text and a soft shadow. The
// widget is the bar plus a margin for the shadow.
class AuthorizeButton : public PaintedButton
{
    Q_OBJECT
public:
    explicit AuthorizeButton(QWidget *parent = nullptr);

    QRect barRect() const;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    static constexpr int kShadowMargin = 5;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace skyloft
