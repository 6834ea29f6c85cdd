// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

namespace skyloft {

// Says short messages to a screen reader for what changes on screen without a notice of its own
// (a run's end, a failure): an object with the Alert role that is shown again with each message
// and announced. It draws nothing and takes neither clicks nor the focus.
class Announcer : public QWidget
{
    Q_OBJECT
public:
    explicit Announcer(QWidget *parent);

    void announce(const QString &text);
    QString text() const { return accessibleName(); }
};

} // namespace skyloft
