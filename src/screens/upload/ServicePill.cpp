// SPDX-License-Identifier: MIT
#include "screens/upload/ServicePill.h"

#include "core/ServiceCatalog.h"
#include "ui/SystemStyle.h"

namespace skyloft {

namespace {

StyledButton::Look pillLook()
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

void ServicePill::setAuthorized(bool authorized)
{
    setBadge(authorized ? QStringLiteral("checkmark.circle.fill") : QString());
}

} // namespace skyloft
