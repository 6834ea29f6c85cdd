// SPDX-License-Identifier: MIT
#include "cli/CommandLine.h"

#include "core/Log.h"
#include "core/RclonePaths.h"
#include "core/ServiceCatalog.h"
#include "core/TabSelection.h"
#include "history/HistoryStore.h"
#include "history/LinkExport.h"
#include "upload/FileIntake.h"
#include "upload/GeneratedLinks.h"
#include "upload/UploadEngine.h"
#include "upload/UploadState.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace skyloft {

namespace {

QString helpText()
{
    return QStringLiteral(
        "Uso: skyloft [opciones] [RUTA...]\n"
        "     skyloft upload [--rapido] --to SERVICIO [--to SERVICIO]... RUTA...\n"
        "     skyloft historial [--format tsv|json] [--desde FECHA]\n"
        "Sube archivos a varios servicios en la nube con rclone y reúne sus enlaces.\n"
        "\n"
        "Sin orden, abre la ventana; las RUTAS dadas quedan en la cola de subida.\n"
        "\n"
        "Órdenes:\n"
        "  upload          Sube sin ventana cada RUTA (de una carpeta, todos sus archivos) a\n"
        "                  cada SERVICIO: \"Google Drive\", \"Dropbox\", \"Mega\" o \"1Fichier\",\n"
        "                  que han de estar autorizados en ~/.rclone.conf. Al terminar escribe\n"
        "                  una línea por enlace: remoto, tabulador, archivo, tabulador, enlace.\n"
        "                  Sale con 0 si cada copia dio un enlace no vacío, con 1 si falta\n"
        "                  alguno o está vacío, y con 2 ante un error de uso o un servicio sin\n"
        "                  autorizar (entonces no sube nada).\n"
        "                  Con --rapido usa la subida rápida: un solo rclone rcd para toda la\n"
        "                  subida, con los servicios a la vez.\n"
        "  historial       Escribe el historial de subidas, de la más antigua a la más\n"
        "                  reciente: en TSV (con cabecera; tabulador, salto de línea y barra\n"
        "                  inversa dentro de un campo se escriben \\t, \\n y \\\\) o en JSON.\n"
        "                  --desde FECHA (2026-01-31 o 2026-01-31T18:00, hora local) deja\n"
        "                  solo las subidas desde ese momento.\n"
        "\n"
        "Opciones:\n"
        "  -h, --help      Muestra esta ayuda.\n"
        "  -v, --version   Muestra la versión.\n"
        "\n"
        "Variables de entorno:\n"
        "  SKYLOFT_RESOURCE_DIR  Carpeta con el ejecutable \"rclone\" que se usará.\n"
        "  XDG_DATA_HOME         El historial está en $XDG_DATA_HOME/skyloft/historial.sqlite\n"
        "                        (por omisión ~/.local/share/skyloft/).\n");
}

CommandLineRequest helpRequest()
{
    CommandLineRequest request;
    request.kind = CommandLineRequest::Kind::Help;
    request.message = helpText();
    return request;
}

CommandLineRequest usageError(const QString &message)
{
    CommandLineRequest request;
    request.kind = CommandLineRequest::Kind::UsageError;
    request.message = message + QLatin1Char('\n') + helpText();
    return request;
}

// upload --to SERVICIO [--to SERVICIO]... RUTA...; `arguments` without the word "upload".
CommandLineRequest parseUpload(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    const QCommandLineOption to(QStringLiteral("to"), QString(), QStringLiteral("SERVICIO"));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption rapido(QStringLiteral("rapido"), QString());
    parser.addOptions({to, help, rapido});
    parser.addPositionalArgument(QStringLiteral("paths"), QString());
    if (!parser.parse(arguments))
        return usageError(parser.errorText());

    CommandLineRequest request;
    if (parser.isSet(help))
        return helpRequest();
    request.kind = CommandLineRequest::Kind::Upload;
    request.rapido = parser.isSet(rapido);
    const QStringList offered = ServiceCatalog::serviciosOrden();
    for (const QString &service : parser.values(to)) {
        if (!offered.contains(service))
            return usageError(QStringLiteral("Servicio desconocido: \"") + service +
                              QStringLiteral("\". Servicios: ") +
                              offered.join(QStringLiteral(", ")) + QLatin1Char('.'));
        if (!request.services.contains(service))
            request.services << service;
    }
    request.paths = parser.positionalArguments();
    if (request.services.isEmpty())
        return usageError(QStringLiteral("Falta --to SERVICIO."));
    if (request.paths.isEmpty())
        return usageError(QStringLiteral("Falta al menos una RUTA."));
    return request;
}

// A day (local midnight) or a local date and time, as ISO 8601 writes them.
QDateTime parseSince(const QString &text)
{
    const QDate day = QDate::fromString(text, Qt::ISODate);
    if (day.isValid())
        return day.startOfDay();
    return QDateTime::fromString(text, Qt::ISODate);
}

// historial [--format tsv|json] [--desde FECHA]; `arguments` without the word "historial".
CommandLineRequest parseHistory(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption format(QStringLiteral("format"), QString(), QStringLiteral("FORMATO"),
                                    QStringLiteral("tsv"));
    const QCommandLineOption since(QStringLiteral("desde"), QString(), QStringLiteral("FECHA"));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    parser.addOptions({format, since, help});
    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    CommandLineRequest request;
    if (parser.isSet(help))
        return helpRequest();
    if (!parser.positionalArguments().isEmpty())
        return usageError(QStringLiteral("historial no admite argumentos: ") +
                          parser.positionalArguments().join(QLatin1Char(' ')));
    const QString formatName = parser.value(format);
    if (formatName != QLatin1String("tsv") && formatName != QLatin1String("json"))
        return usageError(QStringLiteral("Formato desconocido: \"") + formatName +
                          QStringLiteral("\". Formatos: tsv, json."));
    request.kind = CommandLineRequest::Kind::History;
    request.json = formatName == QLatin1String("json");
    if (parser.isSet(since)) {
        request.since = parseSince(parser.value(since));
        if (!request.since.isValid())
            return usageError(QStringLiteral("Fecha no válida: \"") + parser.value(since) +
                              QStringLiteral("\". Escríbala como 2026-01-31 o 2026-01-31T18:00."));
    }
    return request;
}

int printHistory(const CommandLineRequest &request)
{
    HistoryStore store(HistoryStore::defaultPath());
    if (!store.problem().isEmpty())
        writeText(stderr, QStringLiteral("⚠️ ") + store.problem() + QLatin1Char('\n'));
    const QList<HistoryEntry> entries = store.entries(request.since);
    writeText(stdout, QString::fromUtf8(request.json ? historyJson(entries) : historyTsv(entries)));
    return store.isPersistent() ? 0 : 1;
}

// Runs the upload screen's steps without a screen: scan the authorizations, queue the paths,
// select the services and press the button; then waits in the event loop for the run's end.
int runHeadlessUpload(const CommandLineRequest &request)
{
    const RclonePaths &paths = RclonePaths::process();
    TabSelection tabs;
    GeneratedLinks links;
    UploadState state(&tabs, &links);
    UploadEngine engine(&state, paths);
    engine.setSubidaRapida(request.rapido);

    state.rescanAuthorizations(paths.rcloneConfigPath());
    FileIntake::addCommandLinePaths(state, request.paths);
    for (const QString &service : request.services)
        state.toggleService(service);
    const qsizetype expectedLinks = state.archivosSeleccionados().size() * request.services.size();

    QObject::connect(&engine, &UploadEngine::runFinished, &engine, [&links, expectedLinks] {
        qsizetype goodLinks = 0;
        for (auto it = links.links().cbegin(); it != links.links().cend(); ++it) {
            for (const LinkItem &item : it.value()) {
                logLine(it.key() + QLatin1Char('\t') + item.fileName + QLatin1Char('\t') +
                        item.link);
                if (!item.link.isEmpty())
                    ++goodLinks;
            }
        }
        QCoreApplication::exit(goodLinks == expectedLinks ? 0 : 1);
    });
    engine.startUpload();
    if (state.showAuthorizationAlert()) {
        writeText(stderr, QStringLiteral("🚫 Servicio no autorizado\n"
                                         "Tiene que autorizar al menos uno de los servicios "
                                         "seleccionados para subir archivos.\n"));
        return 2;
    }
    return QCoreApplication::exec();
}

} // namespace

CommandLineRequest parseCommandLine(const QStringList &arguments)
{
    if (arguments.size() > 1 && arguments.at(1) == QLatin1String("upload"))
        return parseUpload(QStringList{arguments.at(0)} + arguments.mid(2));
    if (arguments.size() > 1 && arguments.at(1) == QLatin1String("historial"))
        return parseHistory(QStringList{arguments.at(0)} + arguments.mid(2));

    CommandLineRequest request;
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, QString());
    parser.addOption(help);
    parser.addOption(version);
    parser.addPositionalArgument(QStringLiteral("paths"), QString());
    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (parser.isSet(help))
        return helpRequest();
    if (parser.isSet(version)) {
        request.kind = CommandLineRequest::Kind::Version;
        return request;
    }
    request.paths = parser.positionalArguments();
    return request;
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
    case CommandLineRequest::Kind::Window:
        break;
    }
    return 2;
}

} // namespace skyloft
