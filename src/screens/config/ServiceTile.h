// SPDX-License-Identifier: MIT
#pragma once

#include "core/ServiceRemotes.h"
#include "ui/PaintedButton.h"

class QVariantAnimation;

namespace skyloft {

// One service on the configuration screen: its logo and name on a white rounded plate, larger
// and with a deeper shadow while selected, and, while the service is authorized, a check mark on
// the top trailing corner and the word "autorizado" under the name. The widget is the plate plus
// a margin for the shadow and the check mark, which stand out of the plate. Assistive technology
// hears a button whose press opens the service's form, selected while its form is open, and
// whose name says whether it is authorized or not available.
class ServiceTile : public PaintedButton
{
    Q_OBJECT
public:
    explicit ServiceTile(const QString &displayName, QWidget *parent = nullptr);

    QString displayName() const { return text(); }

    bool isSelected() const { return m_selected; }
    // Grows or shrinks the plate with a spring.
    void setSelected(bool selected);
    // Authorized shows as the check mark and the word; a service that is not available shows
    // neither, whatever the configuration file says.
    bool isAuthorized() const { return m_authorized; }
    void setAuthorized(bool authorized);
    bool showsCheckMark() const { return m_authorized && !isUnavailable(); }
    // Why the installed rclone cannot authorize this service (empty when it can): the tile then
    // says "No disponible" and gives the reason as its tooltip and description.
    void setUnavailableReason(const QString &reason);
    bool isUnavailable() const { return !m_unavailableReason.isEmpty(); }
    // A service served by a remote of another name shows that name ("trabajo:") under its own,
    // and one waiting for the user's choice says so.
    void setRemote(const ServiceRemote &remote);
    // The line under the name: empty, the remote in use, or the request to choose one.
    QString remoteLine() const { return m_remoteLine; }

    // The plate as drawn now, in the middle of an animation too.
    QSize plateSize() const;
    QRect plateRect() const;

    QSize sizeHint() const override;

    static constexpr QSize kPlateSize{100, 80};
    static constexpr QSize kSelectedPlateSize{120, 100};
    // Room around the plate for its shadow and the check mark, which stands 5 out of it.
    static constexpr int kMargin = 8;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override;

private:
    // 0 for a plain tile, 1 for the selected one; the spring passes between them.
    void setEmphasis(qreal emphasis);
    void describe();

    bool m_selected = false;
    bool m_authorized = false;
    QString m_unavailableReason;
    QString m_remoteLine;
    qreal m_emphasis = 0;
    QVariantAnimation *m_animation;
};

} // namespace skyloft
