// SPDX-License-Identifier: MIT
#include "core/RcloneRunner.h"

#include "core/Log.h"
#include "core/RcloneChild.h"
#include "core/Utf8.h"

#include <QMutex>
#include <QProcess>
#include <QSet>
#include <QThread>

#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace skyloft {

namespace {

QMutex g_runningMutex;
QSet<qint64> g_runningPids;
bool g_quitting = false;

void terminateRunningLocked()
{
    for (qint64 pid : std::as_const(g_runningPids))
        ::kill(static_cast<pid_t>(pid), SIGTERM);
}

// Keeps the pid of a waiting child known to terminateBlockingRuns() for as long as it runs.
class RunningChild
{
public:
    explicit RunningChild(qint64 pid) : m_pid(pid)
    {
        QMutexLocker lock(&g_runningMutex);
        g_runningPids.insert(m_pid);
        if (g_quitting)
            ::kill(static_cast<pid_t>(m_pid), SIGTERM);
    }
    ~RunningChild()
    {
        QMutexLocker lock(&g_runningMutex);
        g_runningPids.remove(m_pid);
    }
    RunningChild(const RunningChild &) = delete;
    RunningChild &operator=(const RunningChild &) = delete;

private:
    qint64 m_pid;
};

// Starts the child and waits for its end, reading as it comes. Returns false with the launch
// error in `output`.
bool runToEnd(QProcess &process, const std::optional<QByteArray> &input, const RunHooks &hooks,
              QByteArray &output)
{
    process.setProcessChannelMode(QProcess::MergedChannels);
    if (!input)
        process.setStandardInputFile(QProcess::nullDevice());
    dieWithSkyloft(process);
    if (hooks.control && hooks.control->isCancelled())
        return true;
    process.start();
    if (!process.waitForStarted(-1)) {
        output = (kErrorEjecutandoRclone + process.errorString()).toUtf8();
        return false;
    }
    RunningChild running(process.processId());
    if (hooks.control && !hooks.control->attach(process.processId()))
        ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
    if (input) {
        process.write(*input);
        process.closeWriteChannel();
    }
    // Reading as it comes also keeps a child that writes a lot from stalling on a full pipe.
    while (process.waitForReadyRead(-1)) {
        output += process.readAll();
        if (hooks.onOutput)
            hooks.onOutput(QString::fromUtf8(output));
    }
    process.waitForFinished(-1);
    output += process.readAll();
    if (hooks.control)
        hooks.control->detach();
    return true;
}

} // namespace

QStringList desktopSessionVariables()
{
    return {QStringLiteral("DISPLAY"),
            QStringLiteral("WAYLAND_DISPLAY"),
            QStringLiteral("XAUTHORITY"),
            QStringLiteral("XDG_RUNTIME_DIR"),
            QStringLiteral("XDG_CURRENT_DESKTOP"),
            QStringLiteral("DESKTOP_SESSION"),
            QStringLiteral("XDG_DATA_DIRS"),
            QStringLiteral("XDG_CONFIG_HOME"),
            QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
            QStringLiteral("BROWSER")};
}

RcloneEnvironment makeRcloneEnvironment(const RclonePaths &paths, std::optional<quint16> port,
                                        const QProcessEnvironment &own)
{
    RcloneEnvironment environment;
    for (const QString &key : own.keys()) {
        if (key.startsWith(QLatin1String("RCLONE_")))
            environment.insert(key, own.value(key));
    }
    if (port) {
        for (const QString &key : desktopSessionVariables()) {
            if (own.contains(key))
                environment.insert(key, own.value(key));
        }
        environment.insert(QStringLiteral("RCLONE_AUTH_PORT"), QString::number(*port));
    }
    environment.insert(QStringLiteral("RCLONE_CONFIG"), paths.rcloneConfigPath());
    environment.insert(QStringLiteral("HOME"), paths.homeDir());
    environment.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin:/usr/sbin:/sbin"));
    environment.insert(QStringLiteral("TCELL_MINIMIZE"), QStringLiteral("1"));
    return environment;
}

void RunControl::cancel()
{
    QMutexLocker lock(&m_mutex);
    m_cancelled = true;
    if (m_pid > 0)
        ::kill(static_cast<pid_t>(m_pid), SIGTERM);
}

bool RunControl::isCancelled() const
{
    QMutexLocker lock(&m_mutex);
    return m_cancelled;
}

bool RunControl::attach(qint64 pid)
{
    QMutexLocker lock(&m_mutex);
    if (m_cancelled)
        return false;
    m_pid = pid;
    return true;
}

void RunControl::detach()
{
    QMutexLocker lock(&m_mutex);
    m_pid = 0;
}

QProcessEnvironment toProcessEnvironment(const RcloneEnvironment &environment)
{
    QProcessEnvironment result;
    for (auto it = environment.cbegin(); it != environment.cend(); ++it)
        result.insert(it.key(), it.value());
    return result;
}

QString runRcloneCollect(const RclonePaths &paths, const QStringList &arguments,
                         const std::optional<RcloneEnvironment> &environment,
                         const std::optional<QString> &inputText, const RunHooks &hooks)
{
    QProcess process;
    process.setProgram(paths.globalRclonePath());
    process.setArguments(arguments);
    if (environment)
        process.setProcessEnvironment(toProcessEnvironment(*environment));
    std::optional<QByteArray> input;
    if (inputText)
        input = inputText->toUtf8();
    QByteArray output;
    if (!runToEnd(process, input, hooks, output))
        return QString::fromUtf8(output);
    return decodeUtf8Strictly(output).value_or(QString());
}

QString runRcloneWithAnswer(const QString &executablePath, const QStringList &arguments,
                            const RcloneEnvironment &environment, const QString &answerText,
                            const RunHooks &hooks)
{
    QProcess process;
    process.setProgram(executablePath);
    process.setArguments(arguments);
    process.setProcessEnvironment(toProcessEnvironment(environment));
    QByteArray output;
    runToEnd(process, answerText.toUtf8(), hooks, output);
    return QString::fromUtf8(output); // invalid sequences become U+FFFD
}

void killAllRclone(const QString &killallPath)
{
    QProcess process;
    process.setProgram(killallPath);
    process.setArguments({QStringLiteral("rclone")});
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    std::fflush(stdout); // our lines before the child's, which share the stream
    process.start();
    if (!process.waitForStarted(-1)) {
        logLine(QStringLiteral("Error en killall rclone: ") + process.errorString());
        return;
    }
    process.waitForFinished(-1);
    logLine(QStringLiteral("Se ejecutó killall rclone"));
}

std::optional<quint16> findFreePort(int lower, int upper)
{
    for (int port = lower; port <= upper; ++port) {
        if (port < 0 || port > 65535)
            continue;
        // The pause also gives an rclone that was just killed time to release its port.
        QThread::msleep(200);
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        if (fd < 0)
            continue;
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<quint16>(port));
        address.sin_addr.s_addr = inet_addr("127.0.0.1");
        const int bound = ::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof(address));
        ::close(fd);
        if (bound == 0)
            return static_cast<quint16>(port);
    }
    return std::nullopt;
}

void terminateBlockingRuns()
{
    QMutexLocker lock(&g_runningMutex);
    terminateRunningLocked();
}

void endBlockingRunsForQuit()
{
    QMutexLocker lock(&g_runningMutex);
    g_quitting = true;
    terminateRunningLocked();
}

} // namespace skyloft
