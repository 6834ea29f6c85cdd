// SPDX-License-Identifier: MIT
#pragma once

#include "auth/AuthorizationJob.h"
#include "core/ServiceRemotes.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>

namespace skyloft {

class RcloneBackends;

// The red line of a failed authorization.
QString failureText(const QString &serviceName, const QString &reason);

// The configuration screen's state: the selected service, the typed credentials, the services
// known to be authorized and the last authorization message. Written on the GUI thread only.
class ConfigState : public QObject
{
    Q_OBJECT
public:
    explicit ConfigState(AuthorizationSetup setup = AuthorizationSetup::forProcess(),
                         QObject *parent = nullptr);

    const AuthorizationSetup &setup() const { return m_setup; }
    // The tiles; "OneDrive", selected at first, has none.
    QStringList services() const;

    QString selectedService() const { return m_selectedService; }
    void setSelectedService(const QString &displayName);

    // Lower-cased display names ("google drive", "1fichier").
    QSet<QString> authorizedServices() const { return m_authorizedServices; }
    void addAuthorizedService(const QString &entry);

    QString mensaje() const { return m_mensaje; }
    // A new text beginning with "✅" raises the confirmation toast and queues its own hiding
    // kToastMs later; an earlier hiding may end a later toast early.
    void setMensaje(const QString &text);
    bool showToast() const { return m_showToast; }

    // What is typed in a service's credential fields, in the catalog's order (megaEmail and
    // megaPassword for Mega, fichierAPI for 1Fichier).
    QStringList credentials(const QString &displayName) const;
    void setCredential(const QString &displayName, int index, const QString &text);

    // Empties the authorized set and fills it again from the configuration file, with the
    // remote that serves each service.
    void refreshAuthorizations();

    // The remote serving a listed service, and the ones offered in its "Remoto:" chooser.
    ServiceRemote serviceRemote(const QString &displayName) const;
    // Remembers the user's choice and scans again.
    void chooseRemote(const QString &displayName, const QString &remote);
    // Why rclone cannot use its configuration file (encrypted, broken); empty when it can.
    QString configProblem() const { return m_configProblem; }

    // The authorize button: takes the selection and the credentials as they stand now and goes
    // on in the background. A press while another authorization runs replaces it. A service
    // whose backend the installed rclone lacks runs nothing.
    void startAuthorization();

    // What the installed rclone supports; none known until set (then everything counts as
    // available). Not owned.
    void setBackends(RcloneBackends *backends);
    // Why the service cannot be authorized with the installed rclone; empty when it can.
    QString unavailableReason(const QString &displayName) const;

    // The address rclone waits on while a sign-in runs; empty when no sign-in waits.
    QString signInAddress() const { return m_signInAddress; }
    // Why the last authorization failed, until the next press; empty after a success.
    QString failure() const { return m_failure; }

    // A press: ends the authorization it replaces, clears the panel and the last failure, and
    // gives the new authorization's control.
    std::shared_ptr<RunControl> beginAuthorization();
    // "Cancelar": ends the waiting sign-in's rclone (by its process id) and clears the panel.
    void cancelSignIn();
    // From an authorization, on the GUI thread; ignored unless it is the current one.
    void showSignInAddress(const RunControl &control, const QString &address);
    void finishAuthorization(const RunControl &control, const QString &failure);

    static constexpr int kToastMs = 4000;

Q_SIGNALS:
    void selectedServiceChanged(const QString &displayName);
    void authorizedServicesChanged();
    // Only when the text really changes: the screen raises its toast on this.
    void mensajeChanged(const QString &text);
    void showToastChanged(bool shown);
    void credentialChanged(const QString &displayName, int index, const QString &text);
    void serviceRemotesChanged();
    void configProblemChanged(const QString &problem);
    void signInAddressChanged(const QString &address);
    void failureChanged(const QString &failure);
    void backendsChanged();

private:
    void setAuthorizedServices(const QSet<QString> &entries);
    void setShowToast(bool shown);
    void setSignInAddress(const QString &address);
    void setFailure(const QString &failure);
    bool isCurrent(const RunControl &control) const;

    AuthorizationSetup m_setup;
    QString m_selectedService = QStringLiteral("OneDrive");
    QSet<QString> m_authorizedServices;
    QString m_mensaje;
    bool m_showToast = false;
    QHash<QString, QStringList> m_credentials;
    QList<ServiceRemote> m_serviceRemotes;
    QString m_configProblem;
    RcloneBackends *m_backends = nullptr;
    std::shared_ptr<RunControl> m_current;
    QString m_signInAddress;
    QString m_failure;
};

} // namespace skyloft
