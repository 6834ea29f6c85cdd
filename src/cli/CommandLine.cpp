// SPDX-License-Identifier: MIT
#include "cli/CommandLine.h"

#include "cli/CommandTable.h"

#include "core/Log.h"
#include "core/QuitOnSignals.h"
#include "core/RcloneConfigFile.h"
#include "core/RclonePaths.h"
#include "core/RemoteDestinations.h"
#include "core/ServiceCatalog.h"
#include "core/Settings.h"
#include "core/TransferLimits.h"
#include "history/HistoryStore.h"
#include "history/LinkExport.h"
#include "upload/FileIntake.h"
#include "upload/UploadRuns.h"
#include "upload/UploadState.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace skyloft {

namespace {

constexpr int kProgressIntervalMs = 1000;

CommandLineRequest helpRequest(const Command &command)
{
    CommandLineRequest request;
    request.kind = CommandLineRequest::Kind::Help;
    request.message = CommandTable::helpText(command);
    return request;
}

CommandLineRequest usageError(const Command &command, const QString &message)
{
    CommandLineRequest request;
    request.kind = CommandLineRequest::Kind::UsageError;
    request.message = message + QLatin1Char('\n') + CommandTable::helpText(command);
    return request;
}

// Reads a command's arguments against its table, with Spanish messages: "--name value",
// "--name=value", "-h", and "--" before paths that begin with "-".
struct Options
{
    const Command &command;
    QList<QPair<QString, QString>> got; // option names, in order
    QStringList positional;
    QString error;

    bool parse(const QStringList &arguments)
    {
        bool onlyPaths = false;
        for (qsizetype i = 0; i < arguments.size(); ++i) {
            const QString &argument = arguments.at(i);
            if (onlyPaths || !argument.startsWith(QLatin1Char('-')) || argument == u"-") {
                positional << argument;
                continue;
            }
            if (argument == u"--") {
                onlyPaths = true;
                continue;
            }
            QString name = argument;
            QString value;
            bool hasValue = false;
            const qsizetype equals = argument.indexOf(QLatin1Char('='));
            if (argument.startsWith(QLatin1String("--")) && equals > 0) {
                name = argument.left(equals);
                value = argument.mid(equals + 1);
                hasValue = true;
            }
            const CommandOption *option = CommandTable::option(command, name);
            if (option && !option->takesValue() && !hasValue) {
                got.append({option->name, QString()});
            } else if (option && option->takesValue()) {
                if (!hasValue) {
                    if (i + 1 >= arguments.size()) {
                        error = QStringLiteral("Falta el valor de %1.").arg(name);
                        return false;
                    }
                    value = arguments.at(++i);
                }
                got.append({option->name, value});
            } else {
                error = QStringLiteral("Opción desconocida: %1").arg(argument);
                return false;
            }
        }
        return true;
    }
    bool isHelp() const { return isSet(QStringLiteral("--help")); }
    // --format tsv|json, the last one given.
    bool readFormat(CommandLineRequest &request)
    {
        for (const QString &format : values(QStringLiteral("--format"))) {
            if (format == u"tsv") {
                request.format = CommandLineRequest::Format::Tsv;
            } else if (format == u"json") {
                request.format = CommandLineRequest::Format::Json;
            } else {
                error = QStringLiteral("Formato desconocido: \"") + format +
                        QStringLiteral("\". Formatos: tsv, json.");
                return false;
            }
        }
        return true;
    }
    bool isSet(const QString &name) const
    {
        return std::any_of(got.cbegin(), got.cend(),
                           [&](const auto &o) { return o.first == name; });
    }
    QStringList values(const QString &name) const
    {
        QStringList result;
        for (const auto &option : got) {
            if (option.first == name)
                result << option.second;
        }
        return result;
    }
};

// upload --to DESTINO [--to DESTINO]... [--format tsv|json] RUTA...
CommandLineRequest readUpload(Options &options)
{
    CommandLineRequest request;
    request.kind = CommandLineRequest::Kind::Upload;
    if (!options.readFormat(request))
        return usageError(options.command, options.error);
    request.rapido = options.isSet(QStringLiteral("--rapido"));
    request.procesos = options.isSet(QStringLiteral("--procesos"));
    request.progreso = options.isSet(QStringLiteral("--progreso"));
    if (request.rapido && request.procesos)
        return usageError(options.command,
                          QStringLiteral("--rapido y --procesos no pueden ir juntas."));
    // The last value given, in rclone's terms; false (and the message) when it means nothing.
    const auto readValue = [&options](const QString &name, auto read, const QString &what,
                                      std::optional<QString> &into, QString &error) {
        if (!options.isSet(name))
            return true;
        const QString text = options.values(name).constLast();
        into = read(text);
        error = name + QStringLiteral(" no es ") + what.arg(text);
        return into.has_value();
    };
    QString error;
    if (!readValue(QStringLiteral("--limite"), bandwidthLimitFromText,
                   QStringLiteral("una velocidad: \"%1\". Por ejemplo: 5M (5 MB/s), 500K, off."),
                   request.bandwidthLimit, error) ||
        !readValue(QStringLiteral("--caduca"), linkExpiryFromText,
                   QStringLiteral("una duración: \"%1\". Por ejemplo: 7d, 12h, 2w, off."),
                   request.linkExpiry, error))
        return usageError(options.command, error);
    // A name that is no service is looked for among rclone's remotes when the upload starts.
    for (const QString &destination : options.values(QStringLiteral("--to"))) {
        if (destination.isEmpty())
            return usageError(options.command, QStringLiteral("Un DESTINO está vacío (\"\")."));
        if (!request.services.contains(destination))
            request.services << destination;
    }
    request.paths = options.positional;
    if (request.services.isEmpty())
        return usageError(options.command, QStringLiteral("Falta --to DESTINO."));
    if (request.paths.isEmpty())
        return usageError(options.command, QStringLiteral("Falta al menos una RUTA."));
    // An empty path would name the current folder and upload all of it.
    if (request.paths.contains(QString()))
        return usageError(options.command,
                          QStringLiteral("Una RUTA está vacía (\"\"); no se sube nada."));
    return request;
}

// A day (local midnight) or a local date and time, as ISO 8601 writes them. Parsed by hand:
// Qt's ISO date reading ignores whatever follows the day, so "2026-01-31T25:00" read as a day.
QDateTime parseSince(const QString &text)
{
    static const QRegularExpression shape(QStringLiteral(
        "^([0-9]{4})-([0-9]{2})-([0-9]{2})(?:[T ]([0-9]{2}):([0-9]{2})(?::([0-9]{2}))?)?$"));
    const QRegularExpressionMatch match = shape.match(text);
    if (!match.hasMatch())
        return {};
    const auto number = [&](int group) { return match.captured(group).toInt(); };
    const QDate day(number(1), number(2), number(3));
    if (!day.isValid())
        return {};
    if (match.captured(4).isEmpty())
        return day.startOfDay();
    // QTime refuses hour 24, minute 60 and second 60; a local time skipped by a clock change
    // gives an invalid QDateTime, refused the same way.
    const QTime time(number(4), number(5), number(6));
    return time.isValid() ? QDateTime(day, time) : QDateTime();
}

// historial [--format tsv|json] [--desde FECHA]
CommandLineRequest readHistory(Options &options)
{
    CommandLineRequest request;
    if (!options.positional.isEmpty())
        return usageError(options.command, QStringLiteral("historial no admite argumentos: ") +
                                               options.positional.join(QLatin1Char(' ')));
    if (!options.readFormat(request))
        return usageError(options.command, options.error);
    request.kind = CommandLineRequest::Kind::History;
    const QStringList since = options.values(QStringLiteral("--desde"));
    if (!since.isEmpty()) {
        request.since = parseSince(since.last());
        if (!request.since.isValid())
            return usageError(options.command, QStringLiteral("Fecha no válida: \"") +
                                                   since.last() +
                                                   QStringLiteral("\". Escríbala como 2026-01-31 o "
                                                                  "2026-01-31T18:00."));
    }
    return request;
}

// remotos [--format tsv|json]
CommandLineRequest readRemotes(Options &options)
{
    if (!options.positional.isEmpty())
        return usageError(options.command, QStringLiteral("remotos no admite argumentos: ") +
                                               options.positional.join(QLatin1Char(' ')));
    CommandLineRequest request;
    if (!options.readFormat(request))
        return usageError(options.command, options.error);
    request.kind = CommandLineRequest::Kind::Remotes;
    return request;
}

// skyloft [--version] [RUTA...]: the window.
CommandLineRequest readWindow(Options &options)
{
    CommandLineRequest request;
    if (options.isSet(QStringLiteral("--version"))) {
        request.kind = CommandLineRequest::Kind::Version;
        return request;
    }
    request.paths = options.positional;
    return request;
}

int printHistory(const CommandLineRequest &request)
{
    HistoryStore store(HistoryStore::defaultPath());
    if (!store.problem().isEmpty())
        writeText(stderr, QStringLiteral("⚠️ ") + store.problem() + QLatin1Char('\n'));
    const QList<HistoryEntry> entries = store.entries(request.since);
    const bool json = request.format == CommandLineRequest::Format::Json;
    writeText(stdout, QString::fromUtf8(json ? historyJson(entries) : historyTsv(entries)));
    return store.isPersistent() ? 0 : 1;
}

// Every remote of rclone's file, once rclone has said which can make public links.
int printRemotes(const CommandLineRequest &request)
{
    RemoteDestinations destinations(RclonePaths::process());
    QObject::connect(&destinations, &RemoteDestinations::changed, &destinations,
                     [] { QCoreApplication::exit(0); });
    destinations.refresh();
    if (!destinations.isSettled())
        QCoreApplication::exec();
    if (!destinations.problem().isEmpty()) {
        writeText(stderr, QStringLiteral("⚠️ ") + destinations.problem() + QLatin1Char('\n'));
        return 1;
    }
    const QList<RemoteLinkSupport> remotes = destinations.remotes();
    if (request.format == CommandLineRequest::Format::Json) {
        QJsonArray array;
        for (const RemoteLinkSupport &remote : remotes)
            array.append(QJsonObject{{QStringLiteral("remoto"), remote.name},
                                     {QStringLiteral("tipo"), remote.type},
                                     {QStringLiteral("enlaces"), remote.canLink},
                                     {QStringLiteral("servicio"), remote.service}});
        writeText(stdout, QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented)));
        return 0;
    }
    QString text = QStringLiteral("remoto\ttipo\tenlaces\tservicio\n");
    for (const RemoteLinkSupport &remote : remotes)
        text += tsvField(remote.name) + QLatin1Char('\t') + tsvField(remote.type) +
                QLatin1Char('\t') + (remote.canLink ? QStringLiteral("sí") : QStringLiteral("no")) +
                QLatin1Char('\t') + tsvField(remote.service) + QLatin1Char('\n');
    writeText(stdout, text);
    return 0;
}

// Runs the upload screen's steps without a screen: scan the authorizations, queue the paths,
// select the services and press the button; then waits in the event loop for the run's end.
// The remotes beyond the services among the names asked for, once rclone has said which can make
// public links; a name that is neither a service nor such a remote is said on stderr. The name of
// the remote that serves a service stands for that service.
std::optional<QList<Destination>> otherRemotesNamed(QStringList &names, const RclonePaths &paths)
{
    const QStringList services = ServiceCatalog::serviciosOrden();
    QStringList others;
    for (const QString &name : std::as_const(names)) {
        if (!services.contains(name))
            others << name;
    }
    if (others.isEmpty())
        return QList<Destination>{};
    RemoteDestinations remotes(paths);
    QObject::connect(&remotes, &RemoteDestinations::changed, &remotes,
                     [] { QCoreApplication::exit(0); });
    remotes.refresh();
    if (!remotes.isSettled())
        QCoreApplication::exec();
    const QList<Destination> offered = remotes.extraDestinations();
    QStringList offeredNames;
    for (const Destination &destination : offered)
        offeredNames << destination.name;
    const QList<RemoteLinkSupport> all = remotes.remotes();
    for (const QString &name : std::as_const(others)) {
        if (offeredNames.contains(name))
            continue;
        const auto found = std::find_if(all.cbegin(), all.cend(),
                                        [&](const RemoteLinkSupport &r) { return r.name == name; });
        if (found != all.cend() && !found->service.isEmpty()) {
            names.replace(names.indexOf(name), found->service);
            continue;
        }
        const bool known = found != all.cend();
        writeText(stderr, (known ? QStringLiteral("El remoto \"%1\" no puede dar enlaces públicos.")
                                 : QStringLiteral("Destino desconocido: \"%1\"."))
                                  .arg(name) +
                              QStringLiteral(" Servicios: ") + services.join(QStringLiteral(", ")) +
                              QStringLiteral("; otros remotos con enlaces: ") +
                              (offeredNames.isEmpty() ? QStringLiteral("ninguno")
                                                      : offeredNames.join(QStringLiteral(", "))) +
                              QStringLiteral(" (skyloft remotos los lista).\n"));
        return std::nullopt;
    }
    names.removeDuplicates();
    return offered;
}

int runHeadlessUpload(const CommandLineRequest &request)
{
    const RclonePaths &paths = RclonePaths::process();
    QStringList names = request.services;
    const auto others = otherRemotesNamed(names, paths);
    if (!others)
        return 2;
    UploadState state;
    state.setExtraDestinations(*others);
    state.rescanAuthorizations(paths.rcloneConfigPath());
    const QList<FileIntake::Refused> refused =
        FileIntake::addCommandLinePaths(state, request.paths);
    for (const QString &name : std::as_const(names))
        state.toggleService(name);

    UploadRuns runs(paths);
    const bool rapida = !request.procesos && (request.rapido || Settings().subidaRapida());
    runs.setEngine(rapida ? UploadRun::Engine::Daemon : UploadRun::Engine::Processes);
    // What the window's menu chose, unless the command says otherwise.
    runs.setBandwidthLimit(request.bandwidthLimit.value_or(Settings().limiteVelocidad()));
    runs.setLinkExpiry(request.linkExpiry.value_or(Settings().caducidadEnlaces()));
    if (!runs.startUpload(&state, RunOrigin::CommandLine)) {
        writeText(stderr, QStringLiteral("🚫 Servicio no autorizado\n"
                                         "Tiene que autorizar al menos uno de los servicios "
                                         "seleccionados para subir archivos.\n"));
        return 2;
    }
    // A refused path is a failed pair for every destination: reported, never dropped.
    const auto reading = RcloneConfigFile(paths.rcloneConfigPath()).read();
    const QList<Destination> destinations =
        resolveDestinations(names, reading.value_or(RcloneConfigReading()));
    QList<PairOutcome> refusedPairs;
    for (const FileIntake::Refused &path : refused) {
        for (const Destination &destination : destinations) {
            PairOutcome outcome;
            outcome.service = destination.name;
            outcome.remote = destination.remote;
            outcome.fileName = path.shown;
            outcome.localPath = path.shown;
            outcome.state = PairState::CopiaFallida;
            outcome.detail = path.reason;
            refusedPairs << outcome;
        }
    }
    // Every pair goes to the history the moment it ends, as in the window.
    HistoryStore history(HistoryStore::defaultPath());
    if (!history.problem().isEmpty())
        logLine(QStringLiteral("⚠️ ") + history.problem());
    // Each row as the history keeps it, so that both say the same of it.
    QList<HistoryEntry> rows;
    const auto addRow = [&rows, &history](const PairOutcome &outcome) {
        const QDateTime when =
            outcome.ended.isValid() ? outcome.ended : QDateTime::currentDateTimeUtc();
        rows << history.record(outcome, when).value_or(HistoryEntry{0, when, outcome});
    };
    for (const PairOutcome &outcome : std::as_const(refusedPairs))
        addRow(outcome);
    QObject::connect(&runs, &UploadRuns::pairFinished, &runs,
                     [&addRow](UploadRun *, const PairOutcome &outcome) { addRow(outcome); });
    // One line per service on standard error, at most once a second and only when it moved.
    QTimer progress;
    bool progressMoved = false;
    QObject::connect(&state, &UploadState::transfersChanged, &progress,
                     [&progressMoved] { progressMoved = true; });
    QObject::connect(&progress, &QTimer::timeout, &progress, [&] {
        if (!std::exchange(progressMoved, false))
            return;
        QString text;
        for (const QString &service : state.destinationOrder()) {
            if (!names.contains(service))
                continue;
            const auto it = state.transfers().constFind(service);
            text +=
                service + QStringLiteral(": ") +
                (it == state.transfers().cend() ? QStringLiteral("En espera") : transferText(*it)) +
                QLatin1Char('\n');
        }
        writeText(stderr, text);
    });
    if (request.progreso || ::isatty(STDERR_FILENO))
        progress.start(kProgressIntervalMs);
    QObject::connect(&runs, &UploadRuns::runFinished, &runs, [&rows] {
        const bool allUploaded = std::all_of(rows.cbegin(), rows.cend(), [](const auto &row) {
            return row.pair.state == PairState::Subido;
        });
        QCoreApplication::exit(allUploaded ? 0 : 1);
    });
    QuitOnSignals quitOnSignals;
    const int status = QCoreApplication::exec();
    // Ended by a signal: the run's children go now, and every pair it started or queued gets its
    // row, in the output and in the history.
    runs.stopAll(UploadRun::StopReason::Signal);
    history.flush();
    writeText(stdout, formatRows(rows, request.format));
    return status;
}

} // namespace

QString formatRows(QList<HistoryEntry> entries, CommandLineRequest::Format format)
{
    std::stable_sort(
        entries.begin(), entries.end(),
        [](const HistoryEntry &a, const HistoryEntry &b) { return a.pair.remote < b.pair.remote; });
    if (format == CommandLineRequest::Format::Json)
        return QString::fromUtf8(historyJson(entries));
    QString text;
    for (const HistoryEntry &entry : std::as_const(entries)) {
        const PairOutcome &row = entry.pair;
        text += tsvField(row.remote) + QLatin1Char('\t') + tsvField(row.fileName) +
                QLatin1Char('\t') + tsvField(row.link) + QLatin1Char('\t') +
                pairStateText(row.state) + QLatin1Char('\n');
    }
    return text;
}

CommandLineRequest parseCommandLine(const QStringList &arguments)
{
    const QString word = arguments.value(1);
    const bool named = CommandTable::isCommand(word);
    Options options{CommandTable::command(named ? word : QString()), {}, {}, {}};
    if (!options.parse(arguments.mid(named ? 2 : 1)))
        return usageError(options.command, options.error);
    if (options.isHelp())
        return helpRequest(options.command);
    if (options.command.name == u"upload")
        return readUpload(options);
    if (options.command.name == u"historial")
        return readHistory(options);
    if (options.command.name == u"remotos")
        return readRemotes(options);
    return readWindow(options);
}

bool needsWindow(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return parseCommandLine(arguments).kind == CommandLineRequest::Kind::Window;
}

int runWithoutWindow(const CommandLineRequest &request)
{
    switch (request.kind) {
    case CommandLineRequest::Kind::Version:
        writeText(stdout, QStringLiteral(SKYLOFT_VERSION "\n"));
        return 0;
    case CommandLineRequest::Kind::Help:
        writeText(stdout, request.message);
        return 0;
    case CommandLineRequest::Kind::UsageError:
        writeText(stderr, request.message);
        return 2;
    case CommandLineRequest::Kind::Upload:
        return runHeadlessUpload(request);
    case CommandLineRequest::Kind::History:
        return printHistory(request);
    case CommandLineRequest::Kind::Remotes:
        return printRemotes(request);
    case CommandLineRequest::Kind::Window:
        break;
    }
    return 2;
}

} // namespace skyloft
