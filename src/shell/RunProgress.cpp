// SPDX-License-Identifier: MIT
#include "shell/RunProgress.h"

#include "upload/UploadState.h"

#include <algorithm>

namespace skyloft {

RunProgress::RunProgress(UploadState *state, QObject *parent) : QObject(parent), m_state(state)
{
    connect(state, &UploadState::progressDictChanged, this, &RunProgress::update);
    connect(state, &UploadState::isUploadingChanged, this, &RunProgress::update);
    connect(state, &UploadState::canceledServicesChanged, this, &RunProgress::update);
    update();
}

void RunProgress::update()
{
    std::optional<double> value;
    const QSet<QString> &services = m_state->serviciosSeleccionados();
    if (m_state->isUploading() && !services.isEmpty()) {
        double sum = 0.0;
        for (const QString &service : services) {
            if (m_state->canceledServices().contains(service))
                sum += 1.0;
            else
                sum += m_state->progressDict().value(service).progress;
        }
        value = std::clamp(sum / double(services.size()), 0.0, 1.0);
    }
    if (value == m_value)
        return;
    m_value = value;
    Q_EMIT changed(value);
}

} // namespace skyloft
