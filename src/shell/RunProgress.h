// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

#include <optional>

namespace skyloft {

class UploadState;

// How far the upload is, as one figure for the desktop (taskbar, tray): the mean of the selected
// services' progress, a service not reached yet counting 0 and one cancelled on its card 1.
// Nothing while no upload runs.
class RunProgress : public QObject
{
    Q_OBJECT
public:
    explicit RunProgress(UploadState *state, QObject *parent = nullptr);

    std::optional<double> value() const { return m_value; }

Q_SIGNALS:
    void changed(std::optional<double> value);

private:
    void update();

    UploadState *m_state;
    std::optional<double> m_value;
};

} // namespace skyloft
