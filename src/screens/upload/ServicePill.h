// SPDX-License-Identifier: MIT
#pragma once

#include "ui/StyledButton.h"

namespace skyloft {

// One service of the upload screen: its logo and name on a capsule, blue while selected and grey
// otherwise, with a green checkmark when the service is authorized. Checkable, so that screen
// readers announce the selection.
class ServicePill : public StyledButton
{
    Q_OBJECT
public:
    explicit ServicePill(const QString &displayName, QWidget *parent = nullptr);

    QString displayName() const { return text(); }
    void setAuthorized(bool authorized);
    bool isAuthorized() const { return hasBadge(); }
};

} // namespace skyloft
