// SPDX-License-Identifier: MIT
#pragma once

#include "core/Destination.h"
#include "ui/StyledButton.h"

namespace skyloft {

// One destination of the upload screen: its logo and name on a capsule, blue while selected and
// grey otherwise, with a green checkmark when the service is authorized. Checkable, so that screen
// readers announce the selection.
class ServicePill : public StyledButton
{
    Q_OBJECT
public:
    explicit ServicePill(const QString &displayName, QWidget *parent = nullptr);
    // Another remote of rclone's: the generic image in its backend's colour.
    explicit ServicePill(const Destination &remote, QWidget *parent = nullptr);

    QString displayName() const { return text(); }
    // The checkmark and ", autorizado" in its name show only while it can be used.
    void setAuthorized(bool authorized);
    // Why it cannot be used with the installed rclone (empty when it can): disabled, and said.
    void setUnavailableReason(const QString &reason);
    bool isAuthorized() const { return hasBadge(); }

private:
    void showAuthorization();

    QString m_description;
    bool m_authorized = false;
};

} // namespace skyloft
