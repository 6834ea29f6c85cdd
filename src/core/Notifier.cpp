// SPDX-License-Identifier: MIT
#include "core/Notifier.h"

#include <QCoreApplication>
#include <QThread>

namespace skyloft {

Notifier &Notifier::instance()
{
    static Notifier *notifier = [] {
        auto *n = new Notifier;
        // Live on the GUI thread whichever thread asked first, so observers run there.
        if (QCoreApplication::instance())
            n->moveToThread(QCoreApplication::instance()->thread());
        return n;
    }();
    return *notifier;
}

void Notifier::post(const QString &name)
{
    Q_EMIT posted(name);
}

void Notifier::observe(const QString &name, QObject *context, std::function<void()> handler)
{
    connect(this, &Notifier::posted, context,
            [name, handler = std::move(handler)](const QString &n) {
                if (n == name)
                    handler();
            });
}

} // namespace skyloft
