// SPDX-License-Identifier: MIT
#pragma once

#include "auth/AuthorizationJob.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

namespace skyloft {

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

    QString megaEmail() const { return m_megaEmail; }
    void setMegaEmail(const QString &text);
    QString megaPassword() const { return m_megaPassword; }
    void setMegaPassword(const QString &text);
    QString fichierAPI() const { return m_fichierAPI; }
    void setFichierAPI(const QString &text);

    // Empties the authorized set and fills it again from the configuration file.
    void refreshAuthorizations();

    // The authorize button: takes the selection and the credentials as they stand now and goes
    // on in the background. A press while another authorization runs is not refused.
    void startAuthorization();

    static constexpr int kToastMs = 4000;

Q_SIGNALS:
    void selectedServiceChanged(const QString &displayName);
    void authorizedServicesChanged();
    // Only when the text really changes: the screen raises its toast on this.
    void mensajeChanged(const QString &text);
    void showToastChanged(bool shown);
    void megaEmailChanged(const QString &text);
    void megaPasswordChanged(const QString &text);
    void fichierAPIChanged(const QString &text);

private:
    void setAuthorizedServices(const QSet<QString> &entries);
    void setShowToast(bool shown);

    AuthorizationSetup m_setup;
    QString m_selectedService = QStringLiteral("OneDrive");
    QSet<QString> m_authorizedServices;
    QString m_mensaje;
    bool m_showToast = false;
    QString m_megaEmail;
    QString m_megaPassword;
    QString m_fichierAPI;
};

} // namespace skyloft
