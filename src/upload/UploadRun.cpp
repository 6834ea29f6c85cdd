// SPDX-License-Identifier: MIT
#include "upload/UploadRun.h"

#include "core/Destination.h"
#include "core/Log.h"
#include "core/RcloneConfigFile.h"
#include "core/ServiceCatalog.h"
#include "upload/FailureCause.h"
#include "upload/RcClient.h"
#include "upload/RcPairStep.h"
#include "upload/RclonePairStep.h"
#include "upload/StallWatcher.h"
#include "upload/UploadState.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <limits>

namespace skyloft {

namespace {

// Two queued paths name the same local file when they clean up to the same absolute path.
QString sameFileKey(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

UploadRun::UploadRun(UploadState *state, QStringList services, RclonePaths paths, QObject *parent)
    : QObject(parent), m_state(state), m_services(std::move(services)), m_paths(std::move(paths)),
      m_stallSeconds(StallWatcher::stallSecondsFromEnvironment())
{
    // A service goes to the remote that serves it now; any other name is a remote of its own.
    const auto reading = RcloneConfigFile(m_paths.rcloneConfigPath()).read();
    for (const Destination &destination :
         resolveDestinations(m_services, reading.value_or(RcloneConfigReading()))) {
        Lane lane;
        lane.service = destination.name;
        lane.remote = destination.remote;
        m_lanes << lane;
    }
}

UploadRun::UploadRun(const QList<PairOutcome> &pairs, RclonePaths paths, QObject *parent)
    : QObject(parent), m_state(nullptr), m_paths(std::move(paths)),
      m_stallSeconds(StallWatcher::stallSecondsFromEnvironment())
{
    // Services in their display order, each with its pairs in the order given.
    QStringList services = ServiceCatalog::serviciosOrden();
    for (const PairOutcome &pair : pairs) {
        if (!services.contains(pair.service))
            services << pair.service;
    }
    for (const QString &service : std::as_const(services)) {
        Lane lane;
        lane.service = service;
        for (const PairOutcome &pair : pairs) {
            if (pair.service == service)
                lane.fixed << pair;
        }
        if (lane.fixed.isEmpty())
            continue;
        lane.remote = lane.fixed.first().remote;
        m_services << service;
        m_lanes << lane;
    }
}

UploadRun::~UploadRun()
{
    // The steps stop their processes without a word; nothing reaches the state afterwards.
    delete m_client;
    for (Lane &lane : m_lanes)
        dropSteps(lane, Deletion::Now);
}

UploadRun *UploadRun::fromUploadButton(UploadState *state, const RclonePaths &paths,
                                       QObject *parent)
{
    const QSet<QString> &selected = state->serviciosSeleccionados();
    // Every selected name counts here, also one that is not offered and would not be uploaded to.
    if (std::any_of(selected.cbegin(), selected.cend(),
                    [&](const QString &name) { return !state->isAuthorized(name); })) {
        state->setShowAuthorizationAlert(true);
        return nullptr;
    }
    state->setIsUploading(true);
    QStringList services;
    for (const QString &name : state->destinationOrder()) {
        if (selected.contains(name))
            services << name;
    }
    return new UploadRun(state, services, paths, parent);
}

void UploadRun::setSteps(PairStepFactory factory, Order order, int transfers)
{
    m_makeStep = std::move(factory);
    m_order = order;
    m_laneTransfers = std::max(1, transfers);
    m_customSteps = true;
}

void UploadRun::setBandwidthLimit(const QString &rate)
{
    if (rate == m_bandwidthLimit)
        return;
    m_bandwidthLimit = rate;
    if (m_client && !m_finished)
        m_client->setBandwidthLimit(rate, [](const RcReply &reply) {
            if (!reply.ok && !reply.daemonGone)
                logLine(QStringLiteral("❌ No se pudo cambiar el límite de velocidad: ") +
                        reply.text());
        });
}

void UploadRun::post(std::function<void()> work)
{
    // Nothing posted before a stop reaches the state after it.
    QMetaObject::invokeMethod(
        this,
        [this, work = std::move(work)] {
            if (!m_stopped)
                work();
        },
        Qt::QueuedConnection);
}

QStringList UploadRun::files(const Lane &lane) const
{
    if (!m_state) {
        QStringList paths;
        for (const PairOutcome &pair : lane.fixed)
            paths << pair.localPath;
        return paths;
    }
    return m_state->archivosSeleccionados();
}

UploadRun::Lane *UploadRun::laneOf(const QString &service)
{
    for (Lane &lane : m_lanes) {
        if (lane.service == service)
            return &lane;
    }
    return nullptr;
}

void UploadRun::start()
{
    if (m_finished)
        return;
    if (m_customSteps || m_engine == Engine::Processes) {
        if (!m_customSteps)
            m_makeStep = RclonePairStep::factory(m_paths);
        begin();
        return;
    }
    m_client = new RcClient(m_paths, this);
    // Before the daemon starts, so that it starts with it.
    if (!m_bandwidthLimit.isEmpty())
        m_client->setBandwidthLimit(m_bandwidthLimit);
    m_client->whenReady([this](const QString &error) {
        if (!error.isEmpty()) {
            fallBackToProcesses(error);
            return;
        }
        m_makeStep = RcPairStep::factory(m_client, m_paths);
        m_order = Order::ServicesSideBySide;
        m_laneTransfers = m_transfers;
        begin();
    });
}

void UploadRun::fallBackToProcesses(const QString &why)
{
    logLine(QStringLiteral("⚠️ Subida rápida no disponible (") + why +
            QStringLiteral("); se sube con un proceso por archivo."));
    // This runs inside the client's own callback: it goes once that has returned.
    std::exchange(m_client, nullptr)->deleteLater();
    m_engine = Engine::Processes;
    m_makeStep = RclonePairStep::factory(m_paths);
    m_order = Order::OneServiceAtATime;
    m_laneTransfers = 1;
    begin();
}

void UploadRun::begin()
{
    if (m_stopped)
        return;
    if (m_order == Order::OneServiceAtATime || m_lanes.isEmpty()) {
        uploadServices(0);
        return;
    }
    m_lanesLeft = m_lanes.size();
    for (Lane &lane : m_lanes) {
        startLane(lane, [this] {
            if (--m_lanesLeft == 0)
                uploadServices(int(m_lanes.size()));
        });
    }
}

void UploadRun::uploadServices(int index)
{
    if (index >= m_lanes.size()) {
        logLine(QStringLiteral("✅ Todas las subidas completadas"));
        post([this] { finishRun(); });
        return;
    }
    startLane(m_lanes[index], [this, index] { uploadServices(index + 1); });
}

void UploadRun::startLane(Lane &lane, std::function<void()> onDone)
{
    lane.started = true;
    lane.onDone = std::move(onDone);
    if (m_cancelled.contains(lane.service)) {
        logLine(QStringLiteral("Servicio ") + lane.service +
                QStringLiteral(" cancelado, saltando..."));
        passOver(lane, PairState::Cancelado, QString());
        closeLane(lane);
        return;
    }
    logLine(QStringLiteral("Iniciando subida para ") + lane.service);
    if (m_state)
        post([state = m_state, service = lane.service] { state->resetServiceProgress(service); });
    lane.watcher = new StallWatcher(m_stallSeconds, this);
    connect(lane.watcher, &StallWatcher::stalled, this,
            [this, service = lane.service](int seconds) {
                if (Lane *lane = laneOf(service))
                    laneStalled(*lane, seconds);
            });
    lane.watcher->start(0);
    report(lane);
    fill(lane);
}

void UploadRun::fill(Lane &lane)
{
    while (!lane.closed && lane.busy.size() < m_laneTransfers) {
        if (!takeNext(lane))
            lane.closed = true;
    }
    closeLane(lane);
}

bool UploadRun::takeNext(Lane &lane)
{
    const QStringList queued = files(lane);
    if (lane.nextIndex >= queued.size())
        return false;
    if (m_cancelled.contains(lane.service)) {
        logLine(QStringLiteral("Servicio ") + lane.service +
                QStringLiteral(" cancelado durante subida; saliendo."));
        passOver(lane, PairState::Cancelado, QString());
        return false;
    }
    if (m_state && !m_state->isAuthorized(lane.service)) {
        logLine(QStringLiteral("❌ Servicio ") + lane.service +
                QStringLiteral(" no autorizado. Saltando."));
        passOver(lane, PairState::CopiaFallida, QStringLiteral("Servicio no autorizado"));
        return false;
    }

    const int index = lane.nextIndex++;
    const QString filePath = queued.at(index);
    CopyJob job{lane.service, lane.remote,      index,       filePath, lastPathComponent(filePath),
                {},           m_bandwidthLimit, m_linkExpiry};
    const QString onRemote = chooseRemoteName(lane, index, filePath);
    if (onRemote != job.fileName)
        job.renamedTo = onRemote;
    if (m_state) {
        const auto showFile = [state = m_state, service = lane.service,
                               fileName = job.nameOnRemote()] {
            state->setProgressFileName(service, fileName);
        };
        // The described engine posts this; the daemon's lanes spare the hop.
        if (m_laneTransfers == 1)
            post(showFile);
        else
            showFile();
    }
    PairStep *step = lane.idle.isEmpty() ? makeStep(lane) : lane.idle.takeLast();
    lane.busy.insert(step, job);
    lane.fractions.insert(step, 0.0);
    step->start(job);
    return true;
}

QString UploadRun::chooseRemoteName(Lane &lane, int index, const QString &filePath)
{
    if (!m_state)
        return lane.fixed.at(index).fileName;
    // A later, different file that would land on a name the run already used gets a free one.
    const QString name = lastPathComponent(filePath);
    const QString key = sameFileKey(filePath);
    QString candidate = name;
    for (int n = 2; lane.names.contains(candidate) && lane.names.value(candidate) != key; ++n)
        candidate = numberedName(name, n);
    lane.names.insert(candidate, key);
    return candidate;
}

PairStep *UploadRun::makeStep(Lane &lane)
{
    PairStep *step = m_makeStep(this);
    const QString service = lane.service;
    connect(step, &PairStep::ended, this, [this, step, service](const PairOutcome &outcome) {
        if (Lane *lane = laneOf(service))
            stepEnded(*lane, step, outcome);
    });
    connect(step, &PairStep::engineLost, this, [this, step, service] {
        if (Lane *lane = laneOf(service))
            engineLost(*lane, step);
    });
    connect(step, &PairStep::progress, this, [this, step, service](double fraction) {
        if (Lane *lane = laneOf(service))
            stepProgress(*lane, step, fraction);
    });
    connect(step, &PairStep::transferred, this,
            [this, step, service](qint64 bytes, qint64, double speed) {
                if (Lane *lane = laneOf(service))
                    stepTransferred(*lane, step, bytes, speed);
            });
    return step;
}

void UploadRun::engineLost(Lane &lane, PairStep *step)
{
    if (!lane.busy.contains(step))
        return;
    if (m_engine == Engine::Daemon) {
        // Said once; from now on every pair, the lost ones first, goes through processes.
        logLine(
            QStringLiteral("⚠️ Subida rápida se detuvo; el resto se sube con un proceso por "
                           "archivo."));
        m_engine = Engine::Processes;
        m_makeStep = RclonePairStep::factory(m_paths);
        m_laneTransfers = 1;
        for (Lane &each : m_lanes) {
            for (PairStep *idle : std::as_const(each.idle)) {
                QObject::disconnect(idle, nullptr, this, nullptr);
                idle->deleteLater();
            }
            each.idle.clear();
        }
    }
    const CopyJob job = lane.busy.take(step);
    lane.fractions.remove(step);
    lane.moving.remove(step);
    QObject::disconnect(step, nullptr, this, nullptr);
    step->deleteLater();
    PairStep *again = makeStep(lane);
    lane.busy.insert(again, job);
    lane.fractions.insert(again, 0.0);
    again->start(job);
}

void UploadRun::stepProgress(Lane &lane, PairStep *step, double fraction)
{
    if (!m_state || !lane.busy.contains(step))
        return;
    if (m_laneTransfers == 1) {
        m_state->reportCopyProgress(lane.service, lane.busy.value(step).fileIndex, fraction);
        return;
    }
    // Several files at once: the files ended plus the fractions of those under way.
    lane.fractions.insert(step, fraction);
    double sum = lane.ended;
    for (const double part : std::as_const(lane.fractions))
        sum += part;
    const qsizetype count = m_state->archivosSeleccionados().size();
    if (count > 0)
        m_state->applyServiceProgress(lane.service, sum / double(count));
}

void UploadRun::stepEnded(Lane &lane, PairStep *step, const PairOutcome &outcome)
{
    if (!lane.busy.contains(step))
        return;
    const CopyJob job = lane.busy.take(step);
    lane.fractions.remove(step);
    lane.moving.remove(step);
    lane.idle << step;
    ++lane.ended;
    lane.bytesEnded += sizeOf(job.filePath);
    report(lane);
    hold(lane, job.fileIndex, outcome);
    // A listener may have stopped the run meanwhile.
    if (!m_finished)
        fill(lane);
}

void UploadRun::stepTransferred(Lane &lane, PairStep *step, qint64 bytes, double speed)
{
    if (!lane.busy.contains(step))
        return;
    lane.moving.insert(step, {bytes, speed});
    report(lane);
}

qint64 UploadRun::sizeOf(const QString &path)
{
    auto it = m_sizes.constFind(path);
    if (it == m_sizes.cend()) {
        const QFileInfo info(path);
        it = m_sizes.insert(path, info.isFile() ? info.size() : 0);
    }
    return *it;
}

void UploadRun::report(Lane &lane)
{
    const QStringList queued = files(lane);
    if (queued.size() != lane.summed) {
        lane.bytesTotal = 0;
        for (const QString &path : queued)
            lane.bytesTotal += sizeOf(path);
        lane.summed = queued.size();
    }
    ServiceTransfer transfer;
    transfer.filesDone = lane.ended;
    transfer.filesTotal = int(queued.size());
    transfer.bytesTotal = lane.bytesTotal;
    transfer.bytesDone = lane.bytesEnded;
    for (const auto &[bytes, speed] : std::as_const(lane.moving)) {
        transfer.bytesDone += bytes;
        transfer.speed += speed;
    }
    // A file that grew, or could not be read, sends more than was counted.
    transfer.bytesTotal = std::max(transfer.bytesTotal, transfer.bytesDone);
    if (m_state)
        m_state->setTransfer(lane.service, transfer);
    lane.transfer = transfer;
    Q_EMIT progressChanged();
    // Bytes sent and pairs ended both count as moving.
    if (lane.watcher)
        lane.watcher->moved(transfer.bytesDone + transfer.filesDone);
}

double UploadRun::progress() const
{
    if (m_lanes.isEmpty())
        return 0.0;
    double sum = 0.0;
    for (const Lane &lane : m_lanes) {
        const ServiceTransfer &t = lane.transfer;
        if (lane.done || m_cancelled.contains(lane.service))
            sum += 1.0;
        else if (t.bytesTotal > 0)
            sum += double(t.bytesDone) / double(t.bytesTotal);
        else if (t.filesTotal > 0)
            sum += double(t.filesDone) / double(t.filesTotal);
    }
    return std::clamp(sum / double(m_lanes.size()), 0.0, 1.0);
}

void UploadRun::laneStalled(Lane &lane, int seconds)
{
    QString fileName;
    int first = std::numeric_limits<int>::max();
    for (const CopyJob &job : std::as_const(lane.busy)) {
        if (job.fileIndex < first) {
            first = job.fileIndex;
            fileName = job.nameOnRemote();
        }
    }
    if (seconds > 0)
        logLine(QStringLiteral("⚠️ ") + stallNotice(seconds) + QStringLiteral(": ") + fileName +
                QStringLiteral(" en ") + lane.service);
    if (m_state)
        m_state->setStalledSeconds(lane.service, seconds);
    Q_EMIT stalled(lane.service, fileName, seconds);
}

void UploadRun::hold(Lane &lane, int index, const PairOutcome &outcome)
{
    // Stamped when it ends, not when its turn to be announced comes.
    PairOutcome ended = outcome;
    ended.ended = QDateTime::currentDateTimeUtc();
    // One that waits for an earlier pair has still ended: a stop leaves it done.
    if (!m_stopped)
        lane.endedBeforeStop.insert(index);
    lane.held.insert(index, ended);
    release(lane);
}

// Pairs are announced per service in queue order: one that ends before an earlier one waits.
// Every pair of every engine passes here, where a failure gets its cause.
void UploadRun::release(Lane &lane)
{
    while (!lane.held.isEmpty() && lane.held.firstKey() == lane.nextRelease) {
        PairOutcome outcome = lane.held.take(lane.nextRelease);
        explainFailure(outcome);
        if (!outcome.ended.isValid()) // stopped: it ends now
            outcome.ended = QDateTime::currentDateTimeUtc();
        ++lane.nextRelease;
        m_outcomes << outcome;
        Q_EMIT pairFinished(outcome);
    }
}

void UploadRun::closeLane(Lane &lane)
{
    if (!lane.closed || !lane.busy.isEmpty() || lane.done)
        return;
    lane.done = true;
    Q_EMIT progressChanged();
    if (lane.watcher)
        lane.watcher->stop();
    if (lane.onDone)
        std::exchange(lane.onDone, nullptr)();
}

void UploadRun::passOver(Lane &lane, PairState state, const QString &detail)
{
    const QStringList queued = files(lane);
    for (int i = lane.nextIndex; i < queued.size(); ++i) {
        PairOutcome outcome;
        outcome.service = lane.service;
        outcome.remote = lane.remote;
        outcome.localPath = queued.at(i);
        outcome.fileName =
            m_state ? lastPathComponent(outcome.localPath) : lane.fixed.at(i).fileName;
        outcome.state = state;
        outcome.detail = detail;
        hold(lane, i, outcome);
    }
    lane.nextIndex = int(queued.size());
    lane.closed = true;
}

void UploadRun::cancelService(const QString &displayName)
{
    if (m_finished)
        return;
    m_cancelled.insert(displayName);
    if (m_state)
        m_state->insertCanceledService(displayName);
    Q_EMIT progressChanged();
    if (Lane *lane = laneOf(displayName)) {
        for (PairStep *step : lane->busy.keys())
            step->cancel();
    }
}

void UploadRun::stop(StopReason reason)
{
    if (m_finished)
        return;
    m_stopped = true;
    // A stop may come from inside a step's or the client's own signal: they go once it has
    // returned, the client first, so no answer of the daemon reaches a step after this.
    if (m_client) {
        m_client->stopAll();
        std::exchange(m_client, nullptr)->deleteLater();
    }
    for (Lane &lane : m_lanes) {
        for (auto it = lane.busy.cbegin(); it != lane.busy.cend(); ++it) {
            PairOutcome outcome = it.key()->abandon();
            if (reason == StopReason::CancelAll || outcome.state == PairState::Subido) {
                outcome.state = PairState::Cancelado;
                outcome.detail.clear();
                outcome.link.clear();
            }
            lane.held.insert(it->fileIndex, outcome);
        }
        dropSteps(lane, Deletion::Later);
        passOver(lane, PairState::Cancelado, QString());
        // With every file already taken, nothing above announced what it held.
        release(lane);
        lane.done = true;
        if (lane.watcher)
            lane.watcher->stop();
    }
    logLine(QStringLiteral("⛔ Subida detenida; lo que faltaba queda cancelado."));
    finishRun();
}

void UploadRun::dropSteps(Lane &lane, Deletion deletion)
{
    for (PairStep *step : lane.busy.keys() + lane.idle) {
        QObject::disconnect(step, nullptr, this, nullptr);
        if (deletion == Deletion::Now)
            delete step;
        else
            step->deleteLater();
    }
    lane.busy.clear();
    lane.idle.clear();
    lane.fractions.clear();
    lane.moving.clear();
}

void UploadRun::finishRun()
{
    if (m_finished)
        return;
    m_finished = true;
    if (m_client)
        m_client->stopAll();
    if (m_state) {
        if (m_stopped) {
            // The files every service had finished with leave the queue; the others stay.
            QSet<int> finished;
            const qsizetype count = m_state->archivosSeleccionados().size();
            for (int i = 0; i < count; ++i) {
                if (std::all_of(m_lanes.cbegin(), m_lanes.cend(),
                                [i](const Lane &lane) { return lane.endedBeforeStop.contains(i); }))
                    finished.insert(i);
            }
            m_state->resetAfterStop(finished);
        } else {
            m_state->resetAfterRun();
        }
    }
    Q_EMIT finished();
}

} // namespace skyloft
