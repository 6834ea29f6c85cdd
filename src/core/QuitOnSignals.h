// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

class QSocketNotifier;

namespace skyloft {

// Turns SIGINT, SIGTERM and SIGHUP into a normal end of the event loop with the status 128 plus
// the signal's number, so that Ctrl+C in a terminal or a session logout runs the same clean-up
// as closing the window (the run's and a waiting sign-in's rclone children are ended).
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
