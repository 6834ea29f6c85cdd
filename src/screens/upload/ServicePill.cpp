// SPDX-License-Identifier: MIT
#include "screens/upload/ServicePill.h"

#include "core/ServiceCatalog.h"
#include "ui/Images.h"
#include "ui/SystemStyle.h"

namespace skyloft {

namespace {

StyledButton::Look pillLook(const QColor &imageTint = {})
{
    StyledButton::Look look;
    // Opaque plates, dark enough for the white names.
    look.background = greyPlateColour();
    look.checkedBackground = bluePlateColour();
    look.foreground = onPlateColour();
    look.font = textStyleFont(TextStyle::Subheadline);
    look.radius = 16;
    look.padding = {12, 6, 12, 6};
    look.imageSize = 20;
    look.imageTint = imageTint;
    look.badgeSize = 16;
    look.spacing = 6;
    return look;
}

} // namespace

ServicePill::ServicePill(const QString &displayName, QWidget *parent)
    : StyledButton(displayName, uploadServiceImageName(displayName), pillLook(), parent)
{
    setCheckable(true);
}

ServicePill::ServicePill(const Destination &remote, QWidget *parent)
    : StyledButton(remote.name, remoteImageName(), pillLook(backendTint(remote.type)), parent)
{
    setCheckable(true);
    m_description = QStringLiteral("Remoto de rclone (") + remote.type + QLatin1Char(')');
    setAccessibleDescription(m_description);
}

void ServicePill::setUnavailableReason(const QString &reason)
{
    setEnabled(reason.isEmpty());
    setToolTip(reason);
    setAccessibleDescription(reason.isEmpty() ? m_description : reason);
    showAuthorization();
}

void ServicePill::setAuthorized(bool authorized)
{
    m_authorized = authorized;
    showAuthorization();
}

void ServicePill::showAuthorization()
{
    const bool shown = m_authorized && isEnabled();
    setBadge(shown);
    // The badge is a picture; the name says it in words.
    setAccessibleName(shown ? text() + QStringLiteral(", autorizado") : text());
}

} // namespace skyloft
