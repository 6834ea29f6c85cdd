// SPDX-License-Identifier: MIT
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

namespace skyloft {

// Measures how long the event loop of the thread it lives in goes without turning: a timer asks
// to be woken every millisecond, and the longest interval between two wake-ups is the longest
// stall (a window that does not repaint or react for that long). For benchmarks.
class EventLoopGapProbe : public QObject
{
    Q_OBJECT
public:
    explicit EventLoopGapProbe(QObject *parent = nullptr);

    // Forgets what was measured and starts again from now.
    void reset();
    // The longest interval between two turns since the last reset, in milliseconds.
    double longestGapMs() const;
    // The most processor time the thread spent within one such interval: its own work, apart
    // from the time other processes held the cores (the two differ on a busy machine).
    double longestBusyMs() const;

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_lastTickNs = 0;
    qint64 m_longestNs = 0;
    qint64 m_lastCpuNs = 0;
    qint64 m_longestBusyNs = 0;
};

} // namespace skyloft
