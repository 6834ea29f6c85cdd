// SPDX-License-Identifier: MIT
#pragma once

#include "core/ServiceRemotes.h"

#include <QWidget>

class QComboBox;

namespace skyloft {

// "Remoto:" and the remotes of a service's type, for a service whose own remote name is missing
// from rclone's file while several others of its type are there.
class RemoteChooser : public QWidget
{
    Q_OBJECT
public:
    explicit RemoteChooser(QWidget *parent = nullptr);

    // Offers the candidates, with the remote in use as the current one (none until chosen).
    void showRemotes(const ServiceRemote &service);
    QComboBox *comboBox() const { return m_remotes; }

Q_SIGNALS:
    void chosen(const QString &remote);

private:
    QComboBox *m_remotes;
};

} // namespace skyloft
