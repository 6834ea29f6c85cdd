// SPDX-License-Identifier: MIT
#pragma once

#include "core/RclonePaths.h"
#include "upload/FailureCause.h"
#include "upload/PairStep.h"

#include <QPointer>

class QProcess;

namespace skyloft {

inline const QString kGlobalRclonePathVacio = QStringLiteral("❌ globalRclonePath está vacío");

// One pair through two rclone processes: `rclone copy` with its progress read from every piece
// of output, then `rclone link` (the resource looked up afresh) whatever the copy did. The copy's
// exit status decides between subido and copia fallida; a link that fails, is empty or is not
// UTF-8 gives enlace fallido. rclone's last meaningful line becomes the outcome's detail.
class RclonePairStep : public PairStep
{
    Q_OBJECT
public:
    explicit RclonePairStep(RclonePaths paths, QObject *parent = nullptr);
    ~RclonePairStep() override;

    void start(const CopyJob &job) override;
    void cancel() override;
    PairOutcome abandon() override;

    static PairStepFactory factory(const RclonePaths &paths);

private:
    void copyEnded(QProcess *process, bool succeeded, const QString &rest, const QString &error);
    void startLink();
    void linkEnded(QProcess *process, bool succeeded, const QString &error);
    void finish(PairState state, const QString &detail, const QString &link = QString());

    RclonePaths m_paths;
    CopyJob m_job;
    PairOutcome m_outcome;
    QPointer<QProcess> m_process;
    bool m_cancelled = false;
    bool m_copyEnded = false;
    bool m_copyFailed = false;
    bool m_expiryAsked = false;
    bool m_expiryRefused = false;
    QString m_copyDetail;
    QString m_lastLine;
    // The step under way's output and exit code, and the copy's once the link has begun.
    RcloneOutputTail m_tail;
    int m_exitCode = 0;
    int m_copyExitCode = 0;
    QString m_copyOutput;
};

} // namespace skyloft
