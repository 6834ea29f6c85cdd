// SPDX-License-Identifier: MIT
#pragma once

#include <QEasingCurve>
#include <QLabel>

class QGraphicsOpacityEffect;
class QParallelAnimationGroup;
class QPropertyAnimation;

namespace skyloft {

// A short notice floating centred above the bottom of its parent: white text on a dark rounded
// plate. It enters from the bottom edge while fading in and leaves the same way.
class Toast : public QLabel
{
    Q_OBJECT
public:
    Toast(const QString &text, int bottomMargin, QWidget *parent);

    void setShown(bool shown);
    bool isShown() const { return m_shown; }
    // How it enters and leaves: by default kAnimationMs, easing in and out.
    void setMotion(int durationMs, const QEasingCurve &curve);

    static constexpr int kAnimationMs = 300;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPoint shownPosition() const;
    QPoint hiddenPosition() const;

    int m_bottomMargin;
    bool m_shown = false;
    QGraphicsOpacityEffect *m_opacity;
    QPropertyAnimation *m_move;
    QPropertyAnimation *m_fade;
    QParallelAnimationGroup *m_animation;
};

} // namespace skyloft
