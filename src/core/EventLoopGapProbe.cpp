// SPDX-License-Identifier: MIT
#include "core/EventLoopGapProbe.h"

#include <algorithm>
#include <ctime>

namespace skyloft {

namespace {

qint64 threadCpuNs()
{
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

} // namespace

EventLoopGapProbe::EventLoopGapProbe(QObject *parent) : QObject(parent)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(1);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        const qint64 now = m_clock.nsecsElapsed();
        m_longestNs = std::max(m_longestNs, now - m_lastTickNs);
        m_lastTickNs = now;
        const qint64 cpu = threadCpuNs();
        m_longestBusyNs = std::max(m_longestBusyNs, cpu - m_lastCpuNs);
        m_lastCpuNs = cpu;
    });
    reset();
    m_timer.start();
}

void EventLoopGapProbe::reset()
{
    m_clock.start();
    m_lastTickNs = 0;
    m_longestNs = 0;
    m_lastCpuNs = threadCpuNs();
    m_longestBusyNs = 0;
}

double EventLoopGapProbe::longestGapMs() const
{
    // A stall still going on counts too.
    return double(std::max(m_longestNs, m_clock.nsecsElapsed() - m_lastTickNs)) / 1e6;
}

double EventLoopGapProbe::longestBusyMs() const
{
    return double(std::max(m_longestBusyNs, threadCpuNs() - m_lastCpuNs)) / 1e6;
}

} // namespace skyloft
