// SPDX-License-Identifier: MIT
#pragma once

#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QUrl>
#include <QVariantMap>

namespace skyloft {

// Skyloft's org.freedesktop.Application on the session bus, under the name app.skyloft.Skyloft:
// the session's first window owns the name, and a later `skyloft FILES...` (or a desktop or file
// manager that starts the entry through D-Bus) hands its files to that window instead of opening
// another.
class ApplicationService : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")
public:
    static const QString kName;
    static const QString kPath;

    enum class Claim
    {
        Owner, // this process serves the name
        Taken, // another process does: hand the files to it
        NoBus  // no session bus (or it refused the object): work alone
    };

    explicit ApplicationService(QDBusConnection bus = QDBusConnection::sessionBus(),
                                QObject *parent = nullptr);
    ~ApplicationService() override;

    // Publishes the object, then asks for the name without queueing for it.
    Claim claim();

    // Asks the owner of the name to open `paths` (relative ones taken from the current folder) and
    // come forward; waits for its answer. False, with a Spanish `error`, when it did not answer.
    static bool handOff(QDBusConnection bus, const QStringList &paths, QString *error);

public Q_SLOTS:
    Q_SCRIPTABLE void Activate(const QVariantMap &platformData);
    Q_SCRIPTABLE void Open(const QStringList &uris, const QVariantMap &platformData);
    // "subir" (the entry's action) opens the files it is given, as Open does.
    Q_SCRIPTABLE void ActivateAction(const QString &actionName, const QVariantList &parameter,
                                     const QVariantMap &platformData);

Q_SIGNALS:
    // The window should come forward, with these files queued as if dropped on it.
    void openRequested(const QList<QUrl> &urls);

private:
    void bringForward(const QVariantMap &platformData, const QList<QUrl> &urls);

    QDBusConnection m_bus;
    bool m_owner = false;
};

} // namespace skyloft
