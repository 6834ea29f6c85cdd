// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QWidget>

class QVariantAnimation;

namespace skyloft {

// Shows one of its sections at a time, each filling the switcher. A change while shown slides the
// leaving section out towards its edge and the coming one in from its own, both fading, eased
// over half a second. The sections themselves change at once (focus, visibility and input follow
// the new one); the motion is drawn from pictures of the two taken at the change.
class SectionSwitcher : public QWidget
{
    Q_OBJECT
public:
    enum class Edge
    {
        Top,
        Bottom
    };

    explicit SectionSwitcher(QWidget *parent = nullptr);

    void addSection(QWidget *section, Edge edge);
    void setCurrentIndex(int index);
    int currentIndex() const { return m_current; }
    bool isAnimating() const;

    static constexpr int kAnimationMs = 500;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    class Transition;
    struct Section
    {
        QWidget *widget;
        Edge edge;
    };
    void settle();

    QList<Section> m_sections;
    int m_current = -1;
    Transition *m_transition;
    QVariantAnimation *m_animation;
};

} // namespace skyloft
