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

    // On a failed pair's card the button is "Reintentar".
    void setRetry(bool retry);
    bool isRetry() const { return m_retry; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_retry = false;
};

} // namespace skyloft
