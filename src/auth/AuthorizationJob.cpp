// SPDX-License-Identifier: MIT
#include "auth/AuthorizationJob.h"

#include "auth/ConfigState.h"

#include <QMetaObject>

namespace skyloft {

void AuthorizationJob::post(const std::function<void()> &work) const
{
    if (receiver)
        QMetaObject::invokeMethod(receiver, work, Qt::QueuedConnection);
}

void AuthorizationJob::postToState(const std::function<void(ConfigState &)> &work) const
{
    post([target = state, work] {
        if (target)
            work(*target);
    });
}

void AuthorizationJob::postMensaje(const QString &text) const
{
    postToState([text](ConfigState &target) { target.setMensaje(text); });
}

} // namespace skyloft
