// SPDX-License-Identifier: MIT
#pragma once

#include <QEasingCurve>
#include <QLabel>

class QGraphicsOpacityEffect;
class QParallelAnimationGroup;
class QPropertyAnimation;

namespace skyloft {

// A short notice floating centred at the top or the bottom of its parent, `margin` from that
// edge: white text on a dark rounded plate. It enters from its edge while fading in and leaves
// the same way. Its parent keeps that place free of controls.
class Toast : public QLabel
{
    Q_OBJECT
public:
    enum class Edge
    {
        Top,
        Bottom
    };

    Toast(const QString &text, Edge edge, int margin, QWidget *parent);

    // Changes the text, also while shown.
    void setMessage(const QString &text);
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

    Edge m_edge;
    int m_margin;
    bool m_shown = false;
    QGraphicsOpacityEffect *m_opacity;
    QPropertyAnimation *m_move;
    QPropertyAnimation *m_fade;
    QParallelAnimationGroup *m_animation;
};

} // namespace skyloft
