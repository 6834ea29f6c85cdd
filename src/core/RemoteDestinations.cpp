// SPDX-License-Identifier: MIT
#include "core/RemoteDestinations.h"

#include "core/RcloneChild.h"
#include "core/RcloneCommands.h"
#include "core/RcloneConfigFile.h"
#include "core/RcloneRunner.h"
#include "core/ServiceCatalog.h"
#include "core/ServiceRemotes.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QProcess>
#include <QTimer>

namespace skyloft {

namespace {

// rclone starts slowly: two at a time keep a machine with many remotes responsive.
constexpr int kProbesAtOnce = 2;
// rclone rewrites its file in steps (a temporary file, then a rename): read it once it is quiet.
constexpr int kDebounceMs = 300;
const QString kDefault = QStringLiteral("DEFAULT");

QString sectionText(const RcloneRemote &remote)
{
    QStringList lines;
    for (const auto &[key, value] : remote.keys)
        lines << key + QStringLiteral(" = ") + value;
    return lines.join(QLatin1Char('\n'));
}

} // namespace

RemoteDestinations::RemoteDestinations(RclonePaths paths, QObject *parent)
    : QObject(parent), m_paths(std::move(paths))
{}

RemoteDestinations::~RemoteDestinations()
{
    for (const Probe &probe : std::as_const(m_running))
        stopQuietly(probe.process);
}

void RemoteDestinations::refresh()
{
    const QString path = m_paths.rcloneConfigPath();
    QString why;
    const auto reading = RcloneConfigFile(path).read(&why);
    m_reading = reading && reading->problem().isEmpty() ? *reading : RcloneConfigReading();
    m_problem = reading                   ? reading->problem()
                : QFileInfo::exists(path) ? path + QStringLiteral(": ") + why
                                          : QString();
    m_pending.clear();
    for (const RcloneRemote &remote : m_reading.remotes()) {
        const QString text = sectionText(remote);
        const auto known = m_answers.constFind(remote.name);
        if (remote.name == kDefault || (known != m_answers.cend() && known->section == text))
            continue;
        stopProbe(remote.name); // it was asking about the section as it was
        m_answers.insert(remote.name, Answer{text, false, std::nullopt});
        m_pending << remote.name;
    }
    startProbes();
    if (isSettled())
        publish();
}

void RemoteDestinations::watchFile()
{
    if (m_watcher)
        return;
    m_watcher = new QFileSystemWatcher(this);
    m_debounce = new QTimer(this);
    m_debounce->setSingleShot(true);
    m_debounce->setInterval(kDebounceMs);
    connect(m_debounce, &QTimer::timeout, this, &RemoteDestinations::refresh);
    const QString path = m_paths.rcloneConfigPath();
    // The folder too: a file replaced by a rename is no longer the one watched.
    m_watcher->addPath(QFileInfo(path).path());
    m_watcher->addPath(path);
    const auto changedOnDisk = [this, path] {
        if (!m_watcher->files().contains(path) && QFileInfo::exists(path))
            m_watcher->addPath(path);
        m_debounce->start();
    };
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, changedOnDisk);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, changedOnDisk);
}

void RemoteDestinations::startProbes()
{
    const QString rclone = m_paths.globalRclonePath();
    while (m_running.size() < kProbesAtOnce && !m_pending.isEmpty()) {
        const QString name = m_pending.takeFirst();
        if (rclone.isEmpty()) {
            m_answers[name].known = true; // only the documentation can tell
            continue;
        }
        QProcess *process = startRcloneChild(
            this, rclone, RcloneCommands::backendFeatures(m_paths.rcloneConfigPath(), name),
            toProcessEnvironment(makeRcloneEnvironment(m_paths)), QProcess::SeparateChannels,
            [this, name](QProcess *ended, const RcloneChildEnd &end) {
                probeEnded(name, end.succeeded() ? parseBackendFeatures(QString::fromUtf8(
                                                       ended->readAllStandardOutput()))
                                                 : std::nullopt);
            });
        auto *deadline = new QTimer(this);
        deadline->setSingleShot(true);
        // A backend that waits on the network for long answers nothing; its documentation does.
        connect(deadline, &QTimer::timeout, this, [this, name] {
            stopProbe(name);
            probeEnded(name, std::nullopt);
        });
        deadline->start(kProbeTimeoutMs);
        m_running.insert(name, {process, deadline});
    }
}

void RemoteDestinations::stopProbe(const QString &remote)
{
    const auto it = m_running.find(remote);
    if (it == m_running.end())
        return;
    const Probe probe = it.value();
    m_running.erase(it);
    stopQuietly(probe.process);
    probe.deadline->deleteLater();
}

void RemoteDestinations::probeEnded(const QString &remote,
                                    const std::optional<BackendFeatures> &features)
{
    if (const auto it = m_running.find(remote); it != m_running.end()) {
        it->deadline->deleteLater();
        m_running.erase(it);
    }
    Answer &answer = m_answers[remote];
    answer.known = true;
    answer.features = features;
    startProbes();
    if (isSettled())
        publish();
}

void RemoteDestinations::publish()
{
    const QList<ServiceRemote> services = serviceRemotes(m_reading);
    QList<RemoteLinkSupport> remotes;
    for (const RcloneRemote &remote : m_reading.remotes()) {
        if (remote.name == kDefault)
            continue;
        RemoteLinkSupport support{remote.name, remote.type(), {}, false, {}};
        const DocumentedSupport documented = documentedSupport(m_reading, remote.name);
        if (const auto &features = m_answers.value(remote.name).features) {
            // At the root of a bucket-based backend there is nowhere to put a file.
            support.canLink =
                features->publicLink && !(features->bucketBased && features->root.isEmpty());
            support.backend = features->name;
        } else {
            support.canLink = documented.publicLink && documented.configured;
        }
        if (support.backend.isEmpty())
            support.backend = documented.type;
        for (const ServiceRemote &service : services) {
            if (service.remote == remote.name && !service.choiceNeeded)
                support.service = service.displayName;
        }
        remotes << support;
    }
    m_remotes = remotes;
    Q_EMIT changed();
}

QList<Destination> RemoteDestinations::extraDestinations() const
{
    QList<Destination> extras;
    for (const RemoteLinkSupport &remote : m_remotes) {
        // A remote named like a service would be taken for it.
        if (remote.canLink && remote.service.isEmpty() && !ServiceCatalog::find(remote.name))
            extras << Destination{remote.name, remote.name, remote.backend};
    }
    return extras;
}

} // namespace skyloft
