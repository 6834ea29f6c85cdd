// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

class QSocketNotifier;

namespace skyloft {

// Turns SIGINT, SIGTERM and SIGHUP into a normal quit of the event loop, so that Ctrl+C in a
// terminal or a session logout runs the same clean-up as closing the window (rclone children
// of a waiting sign-in are ended).
class QuitOnSignals : public QObject
{
    Q_OBJECT
public:
    explicit QuitOnSignals(QObject *parent = nullptr);
    ~QuitOnSignals() override;

private:
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace skyloft
