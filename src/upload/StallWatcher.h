// SPDX-License-Identifier: MIT
#pragma once

#include <QElapsedTimer>
#include <QObject>

class QTimer;

namespace skyloft {

// Watches one service of a run for progress, whichever engine moves it: bytes sent, or pairs
// ended. After `stallSeconds` without either it says so, then again every minute while nothing
// moves; it never stops anything itself. Output that moves no byte (rclone's "0 B/s" lines every
// second) is no progress.
class StallWatcher : public QObject
{
    Q_OBJECT
public:
    StallWatcher(int stallSeconds, QObject *parent = nullptr);

    // Watching begins (or begins again) now, from `progress`.
    void start(qint64 progress);
    // The service's progress now: bytes sent plus pairs ended. Only a rise counts.
    void moved(qint64 progress);
    void stop();

    // $SKYLOFT_STALL_SECONDS when it is a positive number, else 120.
    static int stallSecondsFromEnvironment();

Q_SIGNALS:
    // Nothing has moved for `seconds`; 0 when it moves again after a notice.
    void stalled(int seconds);

private:
    void noticeDue();

    QTimer *m_timer;
    QElapsedTimer m_sinceMoved;
    int m_stallSeconds;
    qint64 m_progress = 0;
    bool m_noticed = false;
};

} // namespace skyloft
