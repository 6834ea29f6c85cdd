// SPDX-License-Identifier: MIT
#include "shell/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace skyloft {

namespace {

void print(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

QString helpText()
{
    return QStringLiteral(
        "Uso: skyloft [opciones] [RUTA...]\n"
        "Sube archivos a varios servicios en la nube con rclone y reúne sus enlaces.\n"
        "\n"
        "Sin orden, abre la ventana; las RUTAS dadas quedan en la cola de subida.\n"
        "\n"
        "Opciones:\n"
        "  -h, --help      Muestra esta ayuda.\n"
        "  -v, --version   Muestra la versión.\n"
        "\n"
        "Variables de entorno:\n"
        "  SKYLOFT_RESOURCE_DIR  Carpeta con el ejecutable \"rclone\" que se usará.\n");
}

} // namespace

CommandLineRequest parseCommandLine(const QStringList &arguments)
{
    CommandLineRequest request;
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, QString());
    parser.addOption(help);
    parser.addOption(version);
    parser.addPositionalArgument(QStringLiteral("paths"), QString());
    if (!parser.parse(arguments)) {
        request.kind = CommandLineRequest::Kind::UsageError;
        request.message = parser.errorText() + QLatin1Char('\n') + helpText();
        return request;
    }
    if (parser.isSet(help)) {
        request.kind = CommandLineRequest::Kind::Help;
        request.message = helpText();
        return request;
    }
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
        print(stdout, QStringLiteral(SKYLOFT_VERSION "\n"));
        return 0;
    case CommandLineRequest::Kind::Help:
        print(stdout, request.message);
        return 0;
    case CommandLineRequest::Kind::UsageError:
        print(stderr, request.message);
        return 2;
    case CommandLineRequest::Kind::Upload:
    case CommandLineRequest::Kind::Window:
        break;
    }
    return 2;
}

} // namespace skyloft
