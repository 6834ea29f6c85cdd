// SPDX-License-Identifier: MIT
#pragma once

#include "ui/PaintedButton.h"

#include <QColor>
#include <QFont>
#include <QMargins>
#include <QPixmap>

namespace skyloft {

// A button drawn the way the screens draw theirs: an optional image and an optional text on a
// rounded plate, and an optional check badge after the text. The keyboard focus shows as a blue
// ring around the plate. An image-only button needs an accessible name set by its owner.
class StyledButton : public PaintedButton
{
    Q_OBJECT
public:
    struct Look
    {
        QColor background;        // the plate; none when transparent
        QColor checkedBackground; // the plate while checked, when valid
        QColor foreground;        // the text
        QFont font;
        qreal radius = 0;
        QMargins padding;  // around image, text and badge
        int imageSize = 0; // edge of the image
        QColor imageTint;  // the image in this one colour, when valid
        int badgeSize = 0; // edge of the check badge
        int spacing = 8;   // between image, text and badge
        qreal scale = 1.0; // the whole plate is drawn scaled about its centre
    };

    StyledButton(const QString &text, const QString &imageName, const Look &look,
                 QWidget *parent = nullptr);

    // The check badge after the text.
    void setBadge(bool shown);
    bool hasBadge() const { return m_badge; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    // Room for the focus ring around the plate.
    static constexpr int kFocusMargin = 3;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QSize plateSize() const;
    QPixmap image(const QString &name, int size, const QColor &tint) const;

    QString m_imageName;
    bool m_badge = false;
    Look m_look;
};

} // namespace skyloft
