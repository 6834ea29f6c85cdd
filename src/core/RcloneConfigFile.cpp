// SPDX-License-Identifier: MIT
#include "core/RcloneConfigFile.h"

#include "core/Log.h"
#include "core/RcloneConfigReading.h"
#include "core/ServiceCatalog.h"
#include "core/ServiceRemotes.h"
#include "core/Utf8.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace skyloft {

namespace {

const QString kUnreadable =
    QStringLiteral("No se pudo leer el archivo de configuración para verificar autorizaciones.");

QString errnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

constexpr qint64 kMaxConfigBytes = 1024 * 1024;

// The file's text, or why there is none. Only a regular file of at most 1 MiB is read, and it is
// opened without blocking: a FIFO or a link to a device must never hold start-up.
struct ConfigText
{
    std::optional<QString> text;
    QString reason;
};

ConfigText readConfigText(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {std::nullopt, errnoText(errno)};
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return {std::nullopt, QStringLiteral("no es un archivo normal")};
    }
    if (info.st_size > kMaxConfigBytes) {
        ::close(fd);
        return {std::nullopt, QStringLiteral("mide más de 1 MiB")};
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return {std::nullopt, file.errorString()};
    }
    const QByteArray bytes = file.read(kMaxConfigBytes + 1); // it may have grown meanwhile
    if (file.error() != QFileDevice::NoError)
        return {std::nullopt, file.errorString()};
    if (bytes.size() > kMaxConfigBytes)
        return {std::nullopt, QStringLiteral("mide más de 1 MiB")};
    std::optional<QString> text = decodeUtf8Strictly(bytes);
    if (!text)
        return {std::nullopt, QStringLiteral("no es texto UTF-8 válido")};
    return {text, QString()};
}

std::optional<QString> readUtf8(const QString &path)
{
    return readConfigText(path).text;
}

// Names in a folder in the order the file system gives them, hidden ones included.
std::optional<QStringList> listFolder(const QString &folder, QString &error)
{
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir) {
        error = errnoText(errno);
        return std::nullopt;
    }
    QStringList names;
    while (const dirent *entry = ::readdir(dir)) {
        const char *name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        names << QFile::decodeName(name);
    }
    ::closedir(dir);
    return names;
}

QString timeText(const timespec &time)
{
    return QDateTime::fromSecsSinceEpoch(time.tv_sec, Qt::UTC).toString(Qt::ISODate);
}

QString attributesText(const struct stat &info)
{
    char mode[11];
    std::snprintf(mode, sizeof mode, "%c%c%c%c%c%c%c%c%c%c", S_ISDIR(info.st_mode) ? 'd' : '-',
                  info.st_mode & S_IRUSR ? 'r' : '-', info.st_mode & S_IWUSR ? 'w' : '-',
                  info.st_mode & S_IXUSR ? 'x' : '-', info.st_mode & S_IRGRP ? 'r' : '-',
                  info.st_mode & S_IWGRP ? 'w' : '-', info.st_mode & S_IXGRP ? 'x' : '-',
                  info.st_mode & S_IROTH ? 'r' : '-', info.st_mode & S_IWOTH ? 'w' : '-',
                  info.st_mode & S_IXOTH ? 'x' : '-');
    const passwd *owner = ::getpwuid(info.st_uid);
    const group *grp = ::getgrgid(info.st_gid);
    return QStringLiteral("{tamaño = %1 bytes; permisos = %2 (%3); propietario = %4 (%5); "
                          "grupo = %6 (%7); modificado = %8; cambiado = %9; accedido = %10}")
        .arg(qint64(info.st_size))
        .arg(QString::fromLatin1(mode))
        .arg(QString::number(info.st_mode & 07777, 8).rightJustified(4, QLatin1Char('0')))
        .arg(owner ? QString::fromLocal8Bit(owner->pw_name) : QStringLiteral("?"))
        .arg(info.st_uid)
        .arg(grp ? QString::fromLocal8Bit(grp->gr_name) : QStringLiteral("?"))
        .arg(info.st_gid)
        .arg(timeText(info.st_mtim), timeText(info.st_ctim), timeText(info.st_atim));
}

// Writes the default file without ever replacing one that appeared meanwhile: the content goes
// to an owner-only temporary file that is then hard-linked into place, which fails if taken.
bool writeDefaultAtomically(const QString &path, QString &error)
{
    // rclone's own place for the file is a folder that may not exist yet.
    const QString folder = QFileInfo(path).path();
    if (!QDir().mkpath(folder)) {
        error = QStringLiteral("no se pudo crear la carpeta ") + folder;
        return false;
    }
    QTemporaryFile temporary(path + QStringLiteral(".XXXXXX"));
    if (!temporary.open()) {
        error = temporary.errorString();
        return false;
    }
    const QByteArray content = RcloneConfigFile::defaultContent();
    if (temporary.write(content) != content.size() || !temporary.flush()) {
        error = temporary.errorString();
        return false;
    }
    ::fsync(temporary.handle());
    if (::link(QFile::encodeName(temporary.fileName()).constData(),
               QFile::encodeName(path).constData()) != 0) {
        error = errnoText(errno);
        return false;
    }
    return true;
}

} // namespace

RcloneConfigFile::RcloneConfigFile(QString configPath) : m_path(std::move(configPath)) {}

QByteArray RcloneConfigFile::defaultContent()
{
    QStringList sections;
    for (const ServiceEntry &entry : ServiceCatalog::entries()) {
        if (!entry.defaultSection.isEmpty())
            sections << QStringLiteral("[%1]\ntype = %1").arg(entry.defaultSection);
    }
    return sections.join(QStringLiteral("\n\n")).toUtf8();
}

void RcloneConfigFile::ensureDefaultConfig() const
{
    logLine(QStringLiteral("Verificando archivo de configuración en: ") + m_path);
    if (QFileInfo::exists(m_path) || QFileInfo(m_path).isSymLink()) {
        logLine(QStringLiteral("El archivo de configuración ya existe."));
    } else {
        QString error;
        if (writeDefaultAtomically(m_path, error))
            logLine(QStringLiteral("Se creó el archivo de configuración predeterminado en ") +
                    m_path);
        else
            logLine(QStringLiteral("Error al crear el archivo de configuración predeterminado: ") +
                    error);
    }

    const QString folder = QFileInfo(m_path).path();
    QString error;
    if (const auto names = listFolder(folder, error)) {
        QStringList quoted;
        for (const QString &name : *names)
            quoted << QLatin1Char('"') + name + QLatin1Char('"');
        logLine(QStringLiteral("Contenido de la carpeta ") + folder + QStringLiteral(": [") +
                quoted.join(QStringLiteral(", ")) + QLatin1Char(']'));
    } else {
        logLine(QStringLiteral("Error leyendo la carpeta ") + folder + QStringLiteral(": ") +
                error);
    }
}

QString RcloneConfigFile::configDiagnosticReport() const
{
    QString report = QStringLiteral("Intentando leer el archivo de configuración en: ") + m_path +
                     QLatin1Char('\n');
    if (!QFileInfo::exists(m_path))
        return report + QStringLiteral("El archivo de configuración NO existe.\n");
    report += QStringLiteral("El archivo existe.\n");
    if (const auto text = readUtf8(m_path))
        report += QStringLiteral("Contenido actual:\n") + *text + QLatin1Char('\n');
    else
        report += QStringLiteral("No se pudo leer el contenido.\n");

    struct stat info;
    if (::stat(QFile::encodeName(m_path).constData(), &info) != 0)
        return report + QStringLiteral("Error obteniendo atributos: ") + errnoText(errno) +
               QLatin1Char('\n');
    return report + QStringLiteral("Atributos: ") + attributesText(info) + QLatin1Char('\n');
}

AuthorizationStatus RcloneConfigFile::sectionStatus(const RcloneConfigReading &reading,
                                                    const QString &remoteName)
{
    const RcloneRemote *remote = reading.find(remoteName);
    if (!remote)
        return AuthorizationStatus::noSection;
    // A key without a value is no credential: rclone would ask to sign in again.
    for (const char *key : {"token", "api_key", "user"}) {
        if (!remote->value(QLatin1String(key)).isEmpty())
            return AuthorizationStatus::authorized;
    }
    return AuthorizationStatus::sectionWithoutCredentials;
}

std::optional<RcloneConfigReading> RcloneConfigFile::read(QString *why) const
{
    const ConfigText read = readConfigText(m_path);
    if (!read.text) {
        if (why)
            *why = read.reason;
        return std::nullopt;
    }
    return RcloneConfigReading::parse(*read.text);
}

AuthorizationStatus RcloneConfigFile::status(const QString &remoteName) const
{
    const auto reading = read();
    return reading ? sectionStatus(*reading, remoteName) : AuthorizationStatus::noSection;
}

QString RcloneConfigFile::remoteType(const QString &remoteName) const
{
    const auto reading = read();
    const RcloneRemote *remote = reading ? reading->find(remoteName) : nullptr;
    return remote ? remote->type() : QString();
}

std::optional<QList<ServiceAuthorization>>
RcloneConfigFile::scanAuthorizations(QString *problem) const
{
    QString why;
    const auto reading = read(&why);
    if (reading && !reading->problem().isEmpty())
        why = reading->problem();
    if (!reading || !reading->problem().isEmpty()) {
        logLine(kUnreadable);
        logLine(QStringLiteral("⚠️ ") + m_path + QStringLiteral(": ") + why);
        if (problem && reading)
            *problem = why;
        return std::nullopt;
    }
    QList<ServiceAuthorization> result;
    for (const ServiceRemote &service : serviceRemotes(*reading)) {
        if (!ServiceCatalog::find(service.displayName)->scanned)
            continue;
        result << ServiceAuthorization{service.displayName, service.remote,
                                       sectionStatus(*reading, service.remote)};
    }
    return result;
}

bool RcloneConfigFile::refreshAuthorizations(ScanVariant variant,
                                             const std::function<void(const QString &entry)> &add,
                                             QString *problem) const
{
    const auto scanned = scanAuthorizations(problem);
    if (!scanned)
        return false;
    for (const ServiceAuthorization &service : *scanned) {
        if (service.status == AuthorizationStatus::authorized)
            add(authorizedEntry(variant, service));
        logLine(statusLine(variant, service));
    }
    return true;
}

QString RcloneConfigFile::authorizedEntry(ScanVariant variant, const ServiceAuthorization &service)
{
    // The upload screen knows a service by its own remote name, whichever remote serves it.
    return variant == ScanVariant::ConfigScreen ? service.displayName.toLower()
                                                : remoteNameFor(service.displayName);
}

QString RcloneConfigFile::statusLine(ScanVariant variant, const ServiceAuthorization &service)
{
    const bool config = variant == ScanVariant::ConfigScreen;
    const QString &name = service.displayName;
    switch (service.status) {
    case AuthorizationStatus::authorized:
        return QStringLiteral("✅ ") + name +
               (config ? QStringLiteral(" autorizado (con credenciales).")
                       : QStringLiteral(" autorizado con token/API."));
    case AuthorizationStatus::sectionWithoutCredentials:
        return QStringLiteral("⚠️ ") + name +
               (config ? QStringLiteral(" tiene sección pero no credenciales.")
                       : QStringLiteral(" tiene sección pero sin token/API."));
    case AuthorizationStatus::noSection:
        break;
    }
    return QStringLiteral("❌ ") + name +
           (config ? QStringLiteral(" no autorizado.")
                   : QStringLiteral(" no autorizado (sección no encontrada)."));
}

} // namespace skyloft
