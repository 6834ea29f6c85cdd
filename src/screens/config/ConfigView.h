// SPDX-License-Identifier: MIT
#pragma once

#include "auth/AuthorizationJob.h"

#include <QList>
#include <QWidget>

namespace skyloft {

class AuthorizeButton;
class ConfigState;
class CredentialField;
class ServiceTile;
class Toast;

// The configuration tab: which services are authorized, a tile to pick each one, the credentials
// the picked service needs and the button that authorizes it. Owns its state; every time the tab
// is shown it reads the configuration file again.
class ConfigView : public QWidget
{
    Q_OBJECT
public:
    explicit ConfigView(AuthorizationSetup setup = AuthorizationSetup::forProcess(),
                        QWidget *parent = nullptr);

    ConfigState *state() const { return m_state; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *makeTileRow();
    QWidget *makeAuthorizeArea();
    void bindField(CredentialField *field, void (ConfigState::*changed)(const QString &),
                   void (ConfigState::*set)(const QString &));
    void showSelection(const QString &selectedService);
    void showAuthorizations();

    ConfigState *m_state;
    QList<ServiceTile *> m_tiles;
    QWidget *m_megaForm = nullptr;
    QWidget *m_fichierForm = nullptr;
    QList<CredentialField *> m_fields;
    AuthorizeButton *m_authorize = nullptr;
    Toast *m_toast;
};

} // namespace skyloft
