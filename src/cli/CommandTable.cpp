// SPDX-License-Identifier: MIT
#include "cli/CommandTable.h"

#include "core/ServiceCatalog.h"

#include <algorithm>

namespace skyloft {

namespace {

constexpr qsizetype kWidth = 80;
// Where a term's text starts: after the longest term, within these bounds.
constexpr qsizetype kMinTermColumn = 18;
constexpr qsizetype kMaxTermColumn = 26;

const QString kFormatChoices = QStringLiteral("tsv|json");

CommandOption helpOption()
{
    return {
        QStringLiteral("--help"), QStringLiteral("-h"), {}, QStringLiteral("Muestra esta ayuda.")};
}

CommandOption formatOption(const QString &help)
{
    return {QStringLiteral("--format"), {},
            QStringLiteral("FORMATO"),  help,
            ValueCompletion::Choices,   kFormatChoices.split(QLatin1Char('|'))};
}

QString quotedServices()
{
    QStringList names;
    for (const QString &name : ServiceCatalog::serviciosOrden())
        names << (name.contains(QLatin1Char(' ')) ? QLatin1Char('"') + name + QLatin1Char('"')
                                                  : name);
    const QString last = names.takeLast();
    return names.join(QStringLiteral(", ")) + QStringLiteral(" o ") + last;
}

Command windowCommand()
{
    Command command;
    command.usage = QStringLiteral("[opciones] [RUTA...]");
    command.summary = QStringLiteral(
        "Sube archivos a varios servicios en la nube con rclone y reúne sus enlaces.");
    command.description =
        QStringLiteral("Sin orden, abre la ventana; las RUTAS dadas quedan en la cola de subida, "
                       "como si se soltaran en ella. Si Skyloft ya está abierto en la sesión, le "
                       "entrega las RUTAS, trae su ventana al frente y termina; upload, "
                       "historial y remotos trabajan siempre por su cuenta.");
    command.operandName = QStringLiteral("RUTA");
    command.operandHelp = QStringLiteral("Un archivo o una carpeta que poner en la cola.");
    command.options = {
        helpOption(),
        {QStringLiteral("--version"),
         QStringLiteral("-v"),
         {},
         QStringLiteral("Muestra la versión.")},
    };
    command.exitStatus = {
        {QStringLiteral("0"), QStringLiteral("La ventana se cerró, la ventana abierta recibió "
                                             "las RUTAS, o se mostró la ayuda o la versión.")},
        {QStringLiteral("2"), QStringLiteral("Error de uso: una opción desconocida.")},
    };
    return command;
}

// The keys of a pair in every JSON that Skyloft writes.
const QString kPairJsonKeys = QStringLiteral(
    "date, service, remote, file, local_path, size, link, state, detail, cause y rclone");

Command uploadCommand()
{
    Command command;
    command.name = QStringLiteral("upload");
    command.usage = QStringLiteral("upload [--rapido|--procesos] [--progreso] [--limite VELOCIDAD] "
                                   "[--caduca DURACIÓN] [--format tsv|json] "
                                   "--to DESTINO [--to DESTINO]... RUTA...");
    command.summary =
        QStringLiteral("Sube sin ventana y escribe un enlace por cada archivo y servicio.");
    command.description = QStringLiteral(
        "Sube sin ventana cada RUTA a cada DESTINO, en el orden Google Drive, Dropbox, Mega, "
        "1Fichier y después los otros remotos en el orden del archivo de configuración de "
        "rclone, y pide a rclone un enlace público tras cada copia. Los servicios han de estar "
        "autorizados en ese archivo; si uno elegido no lo está, no se sube nada.\n\n"
        "Primero escribe las líneas de diagnóstico; al terminar, una fila por cada archivo y "
        "servicio, ordenadas por remoto y después en el orden de subida. Cada par acaba subido, "
        "copia fallida, enlace fallido o cancelado: una copia fallida nunca muestra un enlace. "
        "Cuando un servicio pasa 120 s sin subir un byte (SKYLOFT_STALL_SECONDS), lo avisa con "
        "una línea, y de nuevo cada minuto mientras siga así.\n\n"
        "Ejemplo:\n"
        "  skyloft upload --to \"Google Drive\" --to Dropbox ~/Fotos/viaje informe.pdf");
    command.operandName = QStringLiteral("RUTA");
    command.operandHelp = QStringLiteral(
        "Un archivo o una carpeta: de una carpeta, todos sus archivos a cualquier profundidad, "
        "en el orden de un gestor de archivos y sin los ocultos. Una RUTA que empiece por - va "
        "tras --.");
    command.options = {
        {QStringLiteral("--to"),
         {},
         QStringLiteral("DESTINO"),
         QStringLiteral("Un servicio al que subir (") + quotedServices() +
             QStringLiteral(") o un remoto de rclone que dé enlaces públicos (los lista skyloft "
                            "remotos). Se repite para subir a varios."),
         ValueCompletion::Services},
        formatOption(
            QStringLiteral(
                "tsv (por omisión): una fila por línea, con los campos separados por tabuladores y "
                "el tabulador, la barra inversa, el salto de línea y el retorno de carro escritos "
                "\\t, \\\\, \\n y \\r. json: una lista JSON de objetos, como los de skyloft "
                "historial: ") +
            kPairJsonKeys + QStringLiteral(".")),
        {QStringLiteral("--rapido"),
         {},
         {},
         QStringLiteral("Subida rápida: un solo rclone rcd para toda la subida, con los servicios "
                        "a la vez. Es lo que se usa por omisión, salvo que se haya desactivado "
                        "en el menú de la ventana.")},
        {QStringLiteral("--procesos"),
         {},
         {},
         QStringLiteral("Un proceso de rclone por copia y por enlace, un par tras otro y los "
                        "servicios uno tras otro.")},
        {QStringLiteral("--progreso"),
         {},
         {},
         QStringLiteral("Escribe el avance de cada servicio en la salida de errores, una línea "
                        "por servicio como mucho una vez por segundo, también cuando no es una "
                        "terminal (en una terminal lo hace siempre): \"3 de 10 archivos · 12,3 MB "
                        "de 48,0 MB · 4,1 MB/s · quedan 9 s\".")},
        {QStringLiteral("--limite"),
         {},
         QStringLiteral("VELOCIDAD"),
         QStringLiteral("Limita la velocidad de subida de toda la subida: 5M son 5 MB/s, 500K "
                        "son 500 KB/s, off es sin límite. Sin esta opción, lo elegido en "
                        "\"Limitar velocidad…\" del menú de la ventana.")},
        {QStringLiteral("--caduca"),
         {},
         QStringLiteral("DURACIÓN"),
         QStringLiteral("Los enlaces caducan tras DURACIÓN (7d, 12h, 2w; off: no caducan) en los "
                        "servicios que lo admiten; en los demás el enlace no caduca y una línea "
                        "lo dice. Sin esta opción, lo elegido en \"Caducidad de enlaces…\" del "
                        "menú de la ventana.")},
        helpOption(),
    };
    command.output = {
        {QStringLiteral("remoto"), QStringLiteral("El remoto de rclone al que se subió: drive, "
                                                  "dropbox, mega, fichier u otro.")},
        {QStringLiteral("archivo"), QStringLiteral("El nombre del archivo.")},
        {QStringLiteral("enlace"), QStringLiteral("El enlace público; vacío si no lo hay.")},
        {QStringLiteral("estado"),
         QStringLiteral("subido, copia fallida, enlace fallido o cancelado.")},
    };
    command.exitStatus = {
        {QStringLiteral("0"), QStringLiteral("Todo se subió.")},
        {QStringLiteral("1"),
         QStringLiteral("Algún par no se subió; también una RUTA rechazada (un FIFO, un socket, "
                        "un dispositivo o un nombre que no es UTF-8 válido).")},
        {QStringLiteral("2"),
         QStringLiteral("Error de uso (opción, servicio o RUTA no válidos, o faltan) o un servicio "
                        "elegido sin autorizar: no se sube nada.")},
        {QStringLiteral("129, 130, 143"),
         QStringLiteral("Detenida por SIGHUP, SIGINT o SIGTERM: termina los rclone en curso y "
                        "escribe una fila por cada par empezado o en cola: subido si ya tenía "
                        "enlace, enlace fallido si solo se copió, cancelado los demás.")},
    };
    return command;
}

Command historyCommand()
{
    Command command;
    command.name = QStringLiteral("historial");
    command.usage = QStringLiteral("historial [--format tsv|json] [--desde FECHA]");
    command.summary = QStringLiteral("Escribe el historial de subidas.");
    command.description = QStringLiteral(
        "Escribe el historial de subidas, de la más antigua a la más reciente: cada par de "
        "archivo y servicio que terminó una subida, en la ventana o con skyloft upload, también "
        "los fallidos. El historial está en $XDG_DATA_HOME/skyloft/historial.sqlite (por "
        "omisión en ~/.local/share/skyloft/) o en el archivo que nombra SKYLOFT_HISTORY_FILE.");
    command.options = {
        formatOption(
            QStringLiteral(
                "tsv (por omisión): una línea de cabecera y una fila por subida, con el tabulador, "
                "el salto de línea y la barra inversa de un campo escritos \\t, \\n y \\\\. json: "
                "una "
                "lista JSON de objetos con ") +
            kPairJsonKeys + QStringLiteral(".")),
        {QStringLiteral("--desde"),
         {},
         QStringLiteral("FECHA"),
         QStringLiteral("Solo las subidas desde ese momento: 2026-01-31 o 2026-01-31T18:00, hora "
                        "local.")},
        helpOption(),
    };
    command.output = {
        {QStringLiteral("fecha"), QStringLiteral("Fecha y hora UTC, en ISO 8601.")},
        {QStringLiteral("servicio"), QStringLiteral("Google Drive, Dropbox, Mega o 1Fichier.")},
        {QStringLiteral("archivo"), QStringLiteral("El nombre del archivo.")},
        {QStringLiteral("estado"),
         QStringLiteral("subido, copia fallida, enlace fallido o cancelado.")},
        {QStringLiteral("enlace"), QStringLiteral("El enlace público; vacío si no lo hay.")},
        {QStringLiteral("ruta_local"), QStringLiteral("La ruta del archivo en este equipo.")},
        {QStringLiteral("tamano"), QStringLiteral("El tamaño en bytes.")},
    };
    command.exitStatus = {
        {QStringLiteral("0"), QStringLiteral("Historial escrito.")},
        {QStringLiteral("1"),
         QStringLiteral("El archivo del historial no se pudo abrir ni crear (se dice por qué en "
                        "la salida de errores).")},
        {QStringLiteral("2"), QStringLiteral("Error de uso.")},
    };
    return command;
}

Command remotesCommand()
{
    Command command;
    command.name = QStringLiteral("remotos");
    command.usage = QStringLiteral("remotos [--format tsv|json]");
    command.summary =
        QStringLiteral("Lista los remotos de rclone y si Skyloft puede subir a ellos con enlace.");
    command.description = QStringLiteral(
        "Lista los remotos del archivo de configuración de rclone (el que usa rclone: "
        "RCLONE_CONFIG, ~/.config/rclone/rclone.conf o ~/.rclone.conf) y pregunta a rclone si "
        "cada uno puede dar enlaces públicos; donde rclone no lo sabe (sin red, sin token), "
        "responde su documentación. Cada remoto con enlaces es un destino de skyloft upload, por "
        "su nombre; el que sirve a un servicio, también por el nombre del servicio.");
    command.options = {
        formatOption(QStringLiteral(
            "tsv (por omisión): una línea de cabecera y una fila por remoto, con los campos "
            "separados por tabuladores. json: una lista JSON de objetos.")),
        helpOption(),
    };
    command.output = {
        {QStringLiteral("remoto"), QStringLiteral("El nombre del remoto.")},
        {QStringLiteral("tipo"), QStringLiteral("Su tipo en el archivo: drive, s3, alias...")},
        {QStringLiteral("enlaces"),
         QStringLiteral("sí si Skyloft puede subir a él y pedir un enlace público; si no, no.")},
        {QStringLiteral("servicio"),
         QStringLiteral("El servicio al que sirve (Google Drive...); vacío si a ninguno.")},
    };
    command.exitStatus = {
        {QStringLiteral("0"), QStringLiteral("Lista escrita (vacía si no hay archivo).")},
        {QStringLiteral("1"), QStringLiteral("rclone no puede usar el archivo (cifrado o con una "
                                             "línea que no entiende); se dice en la salida de "
                                             "errores.")},
        {QStringLiteral("2"), QStringLiteral("Error de uso.")},
    };
    return command;
}

// Words of `text` in lines of at most `width` columns, each line after the first starting with
// `indent` spaces. A line of the text that starts with two spaces (an example) is kept as it is.
QStringList wrapped(const QString &text, qsizetype width, qsizetype indent)
{
    QStringList lines;
    const QString margin(indent, QLatin1Char(' '));
    for (const QString &paragraphLine : text.split(QLatin1Char('\n'))) {
        if (paragraphLine.startsWith(QLatin1String("  ")) || paragraphLine.isEmpty()) {
            lines << (lines.isEmpty() ? QString() : margin) + paragraphLine;
            continue;
        }
        QString line;
        for (const QString &word : paragraphLine.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const qsizetype used = (lines.isEmpty() ? 0 : indent) + line.size();
            if (!line.isEmpty() && used + 1 + word.size() > width) {
                lines << (lines.isEmpty() ? QString() : margin) + line;
                line.clear();
            }
            line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
        }
        lines << (lines.isEmpty() ? QString() : margin) + line;
    }
    return lines;
}

QString paragraphs(const QString &text)
{
    return wrapped(text, kWidth, 0).join(QLatin1Char('\n')) + QLatin1Char('\n');
}

// "  term    text", the texts in one column after the longest term (within reason) and wrapped
// under themselves; a longer term gets a line of its own.
QString termList(const QList<CommandTerm> &terms)
{
    qsizetype column = kMinTermColumn;
    for (const CommandTerm &term : terms)
        column = std::max(column, std::min(kMaxTermColumn, 2 + term.term.size() + 2));
    QString out;
    for (const CommandTerm &term : terms) {
        QString head = QStringLiteral("  ") + term.term;
        if (head.size() + 2 > column) {
            out += head + QLatin1Char('\n');
            head.clear();
        }
        const QStringList lines = wrapped(term.text, kWidth - column, 0);
        for (qsizetype i = 0; i < lines.size(); ++i)
            out +=
                (i == 0 ? head : QString()).leftJustified(column) + lines.at(i) + QLatin1Char('\n');
    }
    return out;
}

QList<CommandTerm> optionTerms(const Command &command)
{
    QList<CommandTerm> terms;
    for (const CommandOption &option : command.options) {
        QString term = option.shortName.isEmpty()
                           ? option.name
                           : option.shortName + QStringLiteral(", ") + option.name;
        if (option.takesValue())
            term += QLatin1Char(' ') + option.valueName;
        terms.append({term, option.help});
    }
    return terms;
}

// The usage line, wrapped under the command's first word; a bracketed group is never split.
QString usageLine(const QString &lead, const Command &command)
{
    QStringList groups;
    int depth = 0;
    for (const QString &word : command.usage.split(QLatin1Char(' '))) {
        if (depth > 0)
            groups.last() += QLatin1Char(' ') + word;
        else
            groups << word;
        depth += word.count(QLatin1Char('[')) - word.count(QLatin1Char(']'));
    }
    const QString start = lead + QStringLiteral("skyloft ");
    const QString margin(start.size() + command.name.size() + 1, QLatin1Char(' '));
    QString text = start;
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < groups.size(); ++i) {
        if (i > 0 && text.size() - lineStart + 1 + groups.at(i).size() > kWidth) {
            text += QLatin1Char('\n');
            lineStart = text.size();
            text += margin;
        } else if (i > 0) {
            text += QLatin1Char(' ');
        }
        text += groups.at(i);
    }
    return text + QLatin1Char('\n');
}

} // namespace

namespace CommandTable {

const QList<Command> &commands()
{
    static const QList<Command> table = {windowCommand(), uploadCommand(), historyCommand(),
                                         remotesCommand()};
    return table;
}

bool isCommand(const QString &name)
{
    return !name.isEmpty() && std::any_of(commands().cbegin(), commands().cend(),
                                          [&](const Command &c) { return c.name == name; });
}

const Command &command(const QString &name)
{
    for (const Command &candidate : commands()) {
        if (candidate.name == name)
            return candidate;
    }
    return commands().first();
}

const CommandOption *option(const Command &command, const QString &word)
{
    for (const CommandOption &candidate : command.options) {
        if (candidate.name == word ||
            (!candidate.shortName.isEmpty() && candidate.shortName == word))
            return &candidate;
    }
    return nullptr;
}

const QList<CommandTerm> &environment()
{
    static const QList<CommandTerm> variables = {
        {QStringLiteral("SKYLOFT_RESOURCE_DIR"),
         QStringLiteral("Carpeta con el ejecutable \"rclone\" que se usará.")},
        {QStringLiteral("SKYLOFT_STALL_SECONDS"),
         QStringLiteral("Segundos sin que un servicio suba un byte antes de avisar (120).")},
        {QStringLiteral("SKYLOFT_TRANSFERS"),
         QStringLiteral("Archivos a la vez por servicio con la subida rápida (4).")},
        {QStringLiteral("SKYLOFT_HISTORY_FILE"),
         QStringLiteral("El archivo del historial; si no se da, "
                        "$XDG_DATA_HOME/skyloft/historial.sqlite (por omisión en "
                        "~/.local/share/skyloft/).")},
    };
    return variables;
}

const QList<CommandTerm> &files()
{
    static const QList<CommandTerm> list = {
        {QStringLiteral("~/.config/rclone/rclone.conf"),
         QStringLiteral("La configuración de rclone: los remotos de los servicios y sus "
                        "credenciales. Es el archivo que usaría rclone: el que indique "
                        "RCLONE_CONFIG; si no, este, si existe; si no, ~/.rclone.conf, si "
                        "existe; si no, este, que se crea al autorizar.")},
        {QStringLiteral("$XDG_CONFIG_HOME/skyloft/skyloft.conf"),
         QStringLiteral("Lo que Skyloft recuerda entre sesiones, como la subida rápida.")},
        {QStringLiteral("$XDG_DATA_HOME/skyloft/historial.sqlite"),
         QStringLiteral("El historial de subidas.")},
    };
    return list;
}

QString helpText(const Command &command)
{
    QString text;
    if (command.name.isEmpty()) {
        for (const Command &each : commands())
            text += usageLine(
                each.name.isEmpty() ? QStringLiteral("Uso: ") : QStringLiteral("     "), each);
        text += paragraphs(command.summary) + QLatin1Char('\n') + paragraphs(command.description);
        QList<CommandTerm> list;
        for (const Command &each : commands().mid(1))
            list.append({each.name, each.summary});
        text += QStringLiteral("\nÓrdenes:\n") + termList(list) + QLatin1Char('\n') +
                paragraphs(QStringLiteral("\"skyloft ORDEN --help\" describe cada orden: sus "
                                          "opciones, su salida y su estado de salida."));
    } else {
        text += usageLine(QStringLiteral("Uso: "), command) + paragraphs(command.description);
    }
    if (!command.operandName.isEmpty())
        text += QStringLiteral("\nArgumentos:\n") +
                termList({{command.operandName, command.operandHelp}});
    text += QStringLiteral("\nOpciones:\n") + termList(optionTerms(command));
    if (!command.output.isEmpty())
        text += QStringLiteral("\nColumnas de la salida (TSV):\n") + termList(command.output);
    text += QStringLiteral("\nEstado de salida:\n") + termList(command.exitStatus);
    if (command.name.isEmpty())
        text += QStringLiteral("\nVariables de entorno:\n") + termList(environment());
    return text;
}

} // namespace CommandTable
} // namespace skyloft
