// SPDX-License-Identifier: MIT
#pragma once

#include "auth/AuthorizationJob.h"
#include "ui/UrlOpener.h"

#include <QList>
#include <QMap>
#include <QWidget>

class QLabel;

namespace skyloft {

class AuthorizeButton;
class ConfigState;
class CredentialField;
class RcloneBackends;
class RemoteChooser;
class ServiceTile;
struct ServiceEntry;
class SignInPanel;
class Toast;

// The configuration tab: which services are authorized, a tile to pick each one, the credentials
// the picked service needs and the button that authorizes it. Owns its state; every time the tab
// is shown it reads the configuration file again.
class ConfigView : public QWidget
{
    Q_OBJECT
public:
    // `openUrl` opens a sign-in address (the desktop's handler by default); `backends`, when
    // given, tells which services the installed rclone cannot authorize.
    explicit ConfigView(AuthorizationSetup setup = AuthorizationSetup::forProcess(),
                        QWidget *parent = nullptr, UrlOpener openUrl = {},
                        RcloneBackends *backends = nullptr);

    ConfigState *state() const { return m_state; }
    SignInPanel *signInPanel() const { return m_signInPanel; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *makeTileRow();
    QWidget *makeAuthorizeArea();
    // The fields of a credential service, bound to what the state holds for it.
    QWidget *makeForm(const ServiceEntry &entry, QWidget *parent);
    void showSelection(const QString &selectedService);
    void showAuthorizations();
    void showAvailability();
    void showStatus();
    void showRemotes();

    ConfigState *m_state;
    QList<ServiceTile *> m_tiles;
    RemoteChooser *m_remoteChooser = nullptr;
    // A form per credential service, by display name.
    QMap<QString, QWidget *> m_forms;
    QList<CredentialField *> m_fields;
    AuthorizeButton *m_authorize = nullptr;
    SignInPanel *m_signInPanel = nullptr;
    // Under the button: why the last authorization failed (red), or why the selected service
    // cannot be authorized with this rclone (grey).
    QLabel *m_status = nullptr;
    Toast *m_toast;
};

} // namespace skyloft
