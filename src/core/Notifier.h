// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>

#include <functional>

namespace skyloft {

inline constexpr const char *kIrAConfiguracion = "IrAConfiguracion";

// Process-wide notifications by name. Observers are called on the GUI thread; an observer's life
// is bound to its context object.
class Notifier : public QObject
{
    Q_OBJECT
public:
    static Notifier &instance();

    void post(const QString &name);
    void observe(const QString &name, QObject *context, std::function<void()> handler);

Q_SIGNALS:
    void posted(const QString &name);

private:
    Notifier() = default;
};

} // namespace skyloft
