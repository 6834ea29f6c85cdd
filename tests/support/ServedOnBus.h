// SPDX-License-Identifier: MIT
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

namespace skyloft::test {

// A desktop service the test plays: `object`'s scriptable slots at `path`, under the name
// `service`, on a connection of its own to the test's bus, for as long as this lives.
class ServedOnBus
{
public:
    ServedOnBus(const QString &connectionName, const QString &service, const QString &path,
                QObject *object)
        : bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName)),
          m_connectionName(connectionName), m_service(service)
    {
        running = bus.registerObject(path, object, QDBusConnection::ExportScriptableSlots) &&
                  bus.registerService(service);
    }
    ~ServedOnBus()
    {
        bus.unregisterService(m_service);
        QDBusConnection::disconnectFromBus(m_connectionName);
    }
    ServedOnBus(const ServedOnBus &) = delete;
    ServedOnBus &operator=(const ServedOnBus &) = delete;

    QDBusConnection bus;
    bool running = false;

private:
    QString m_connectionName;
    QString m_service;
};

} // namespace skyloft::test
