// SPDX-License-Identifier: MIT
#pragma once

#include "core/Destination.h"
#include "core/PublicLinks.h"
#include "core/RcloneConfigReading.h"
#include "core/RclonePaths.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QStringList>

class QFileSystemWatcher;
class QProcess;
class QTimer;

namespace skyloft {

// A remote of rclone's file and whether Skyloft can upload to it and share the upload.
struct RemoteLinkSupport
{
    QString name;
    QString type;    // as in the file ("alias")
    QString backend; // the one it finally reaches ("s3")
    bool canLink = false;
    QString service; // the listed service it serves, if any
    bool operator==(const RemoteLinkSupport &) const = default;
};

// Which remotes of rclone's file can make public links, asked of rclone itself
// (`rclone backend features`, a few at a time, never on the GUI thread's time) and, where it
// cannot tell, of its documentation. Remotes already asked about are not asked again until their
// section changes.
class RemoteDestinations : public QObject
{
    Q_OBJECT
public:
    explicit RemoteDestinations(RclonePaths paths, QObject *parent = nullptr);
    ~RemoteDestinations() override;

    // Reads the file again and asks about what is new; `changed` follows once all is known.
    void refresh();
    // From now on a change to the file refreshes by itself.
    void watchFile();
    // No question to rclone is pending.
    bool isSettled() const { return m_pending.isEmpty() && m_running.isEmpty(); }

    // Why the file there cannot be used (unreadable, encrypted, broken); empty when it can or
    // when there is none.
    QString problem() const { return m_problem; }
    // Every remote of the file but rclone's DEFAULT section, in the file's order.
    QList<RemoteLinkSupport> remotes() const { return m_remotes; }
    // The remotes that can make public links and serve none of the listed services: the
    // destinations after the services.
    QList<Destination> extraDestinations() const;

    static constexpr int kProbeTimeoutMs = 30000;

Q_SIGNALS:
    void changed();

private:
    struct Answer
    {
        QString section; // the section's text when asked: a new one is asked again
        bool known = false;
        std::optional<BackendFeatures> features; // none: rclone could not tell
    };
    struct Probe
    {
        QProcess *process;
        QTimer *deadline;
    };

    void startProbes();
    void probeEnded(const QString &remote, const std::optional<BackendFeatures> &features);
    void stopProbe(const QString &remote);
    void publish();

    RclonePaths m_paths;
    RcloneConfigReading m_reading;
    QString m_problem;
    QHash<QString, Answer> m_answers;
    QStringList m_pending;
    QHash<QString, Probe> m_running;
    QList<RemoteLinkSupport> m_remotes;
    QFileSystemWatcher *m_watcher = nullptr;
    QTimer *m_debounce = nullptr;
};

} // namespace skyloft
