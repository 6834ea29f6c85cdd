// SPDX-License-Identifier: MIT
#include "upload/StallWatcher.h"

#include "core/Settings.h"

#include <QTimer>

#include <algorithm>

namespace skyloft {

namespace {

constexpr int kDefaultStallSeconds = 120;
constexpr int kRepeatSeconds = 60; // a notice at most once a minute

} // namespace

int StallWatcher::stallSecondsFromEnvironment()
{
    return positiveFromEnvironment("SKYLOFT_STALL_SECONDS", kDefaultStallSeconds);
}

StallWatcher::StallWatcher(int stallSeconds, QObject *parent)
    : QObject(parent), m_timer(new QTimer(this)), m_stallSeconds(std::max(1, stallSeconds))
{
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &StallWatcher::noticeDue);
}

void StallWatcher::start(qint64 progress)
{
    m_progress = progress;
    m_sinceMoved.start();
    m_timer->start(m_stallSeconds * 1000);
}

void StallWatcher::moved(qint64 progress)
{
    if (progress <= m_progress || !m_timer->isActive())
        return;
    if (std::exchange(m_noticed, false))
        Q_EMIT stalled(0);
    start(progress);
}

void StallWatcher::stop()
{
    m_timer->stop();
    if (std::exchange(m_noticed, false))
        Q_EMIT stalled(0);
}

void StallWatcher::noticeDue()
{
    m_noticed = true;
    m_timer->start(kRepeatSeconds * 1000);
    // A timer may fire a little early; the notice never says less than the limit.
    Q_EMIT stalled(int(std::max<qint64>(m_stallSeconds, m_sinceMoved.elapsed() / 1000)));
}

} // namespace skyloft
