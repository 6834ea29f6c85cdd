// SPDX-License-Identifier: MIT
#include "shell/RunProgress.h"

#include "upload/UploadRuns.h"

namespace skyloft {

RunProgress::RunProgress(UploadRuns *runs, QObject *parent) : QObject(parent), m_runs(runs)
{
    connect(runs, &UploadRuns::progressChanged, this, &RunProgress::update);
    update();
}

void RunProgress::update()
{
    std::optional<double> value;
    if (m_runs->isRunning())
        value = m_runs->progress();
    if (value == m_value)
        return;
    m_value = value;
    Q_EMIT changed(value);
}

} // namespace skyloft
