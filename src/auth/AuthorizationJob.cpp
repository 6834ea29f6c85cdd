// SPDX-License-Identifier: MIT
#include "auth/AuthorizationJob.h"

#include "auth/AuthorizationUrl.h"
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
    postToState([text, control = control](ConfigState &target) {
        if (!control->isCancelled())
            target.setMensaje(text);
    });
}

void AuthorizationJob::postFailure(const QString &mensaje) const
{
    QString reason = mensaje;
    if (reason.startsWith(QStringLiteral("❌ ")))
        reason.remove(0, QStringLiteral("❌ ").size());
    postToState([mensaje, reason, control = control, service = serviceName](ConfigState &target) {
        if (control->isCancelled())
            return;
        target.setMensaje(mensaje);
        target.finishAuthorization(*control, failureText(service, reason));
    });
}

RunHooks AuthorizationJob::runHooks() const
{
    RunHooks hooks;
    hooks.control = control;
    hooks.onOutput = [job = *this, shown = QString()](const QString &outputSoFar) mutable {
        const auto url = findAuthorizationUrl(outputSoFar);
        if (!url || authorizationUrlText(*url) == shown)
            return;
        shown = authorizationUrlText(*url);
        job.postToState([address = shown, control = job.control](ConfigState &target) {
            target.showSignInAddress(*control, address);
        });
    };
    return hooks;
}

} // namespace skyloft
