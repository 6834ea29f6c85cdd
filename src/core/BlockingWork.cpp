// SPDX-License-Identifier: MIT
#include "core/BlockingWork.h"

#include <QDeadlineTimer>
#include <QThreadPool>

namespace skyloft::BlockingWork {

namespace {

QThreadPool *makePool(int threads)
{
    auto *pool = new QThreadPool;
    pool->setMaxThreadCount(threads);
    return pool;
}

} // namespace

// Never destroyed: the application waits for them before it quits (waitForDone), and a static
// destructor running after that has nothing left to wait for.
QThreadPool &pool()
{
    static QThreadPool *const instance = makePool(4);
    return *instance;
}

QThreadPool &authorizations()
{
    static QThreadPool *const instance = makePool(1);
    return *instance;
}

bool waitForDone(int msecs)
{
    const QDeadlineTimer deadline(msecs < 0 ? QDeadlineTimer::Forever : msecs);
    const auto left = [&deadline] {
        return deadline.isForever() ? -1 : int(qMax<qint64>(0, deadline.remainingTime()));
    };
    const bool authorizationsDone = authorizations().waitForDone(left());
    return pool().waitForDone(left()) && authorizationsDone;
}

} // namespace skyloft::BlockingWork
