// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractButton>

namespace skyloft {

// The real "copy link" button of the current card: drawn like the painted ones under it, it
// gives keyboard and accessibility users a button to reach.
class CopyLinkButton : public QAbstractButton
{
    Q_OBJECT
public:
    explicit CopyLinkButton(QWidget *parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace skyloft
