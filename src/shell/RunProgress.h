// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

#include <optional>

namespace skyloft {

class UploadRuns;

// How far the uploads are, as one figure for the desktop (taskbar, tray): every run under way,
// from the upload button, a retry or the history alike (see UploadRuns::progress). Nothing while
// no run is under way.
class RunProgress : public QObject
{
    Q_OBJECT
public:
    explicit RunProgress(UploadRuns *runs, QObject *parent = nullptr);

    std::optional<double> value() const { return m_value; }

Q_SIGNALS:
    void changed(std::optional<double> value);

private:
    void update();

    UploadRuns *m_runs;
    std::optional<double> m_value;
};

} // namespace skyloft
