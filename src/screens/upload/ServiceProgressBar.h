// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class QPropertyAnimation;

namespace skyloft {

// A service's progress: a grey rounded track, a blue gradient fill whose width follows the
// progress (eased over half a second), and over it the file being copied and the percentage.
class ServiceProgressBar : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(qreal shownProgress READ shownProgress WRITE setShownProgress)
public:
    explicit ServiceProgressBar(QWidget *parent = nullptr);

    void setProgress(double progress, const QString &fileName);
    double progress() const { return m_progress; }
    QString fileName() const { return m_fileName; }
    // The progress as the user reads it: whole percent, truncated, and "%".
    QString percentageText() const;
    // The fill's width now (it trails a change of progress while it eases).
    qreal fillWidth() const;

    QSize sizeHint() const override;

    static constexpr int kHeight = 16;
    static constexpr int kAnimationMs = 500;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qreal shownProgress() const { return m_shownProgress; }
    void setShownProgress(qreal progress);
    void updateAccessibleText();

    double m_progress = 0.0;
    qreal m_shownProgress = 0.0;
    QString m_fileName;
    QPropertyAnimation *m_animation;
};

} // namespace skyloft
