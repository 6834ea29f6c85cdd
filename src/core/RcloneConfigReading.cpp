// SPDX-License-Identifier: MIT
#include "core/RcloneConfigReading.h"

#include <algorithm>

namespace skyloft {

namespace {

const QString kCifrada = QStringLiteral(
    "Tu configuración de rclone está cifrada: Skyloft no puede leer sus remotos. Para usarla "
    "aquí, quita la contraseña con «rclone config» (opción «s» y luego «u») o indica otro "
    "archivo con la variable RCLONE_CONFIG.");

QString brokenLineText(int number, const QString &line)
{
    return QStringLiteral("Tu configuración de rclone tiene una línea que rclone no entiende "
                          "(línea %1: «%2»). Corrígela con un editor de texto o con «rclone "
                          "config».")
        .arg(number)
        .arg(line);
}

bool isComment(const QString &line)
{
    return line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1Char(';'));
}

qsizetype firstSeparator(const QString &line)
{
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == QLatin1Char('=') || line[i] == QLatin1Char(':'))
            return i;
    }
    return -1;
}

qsizetype indexOf(const QList<RcloneRemote> &remotes, const QString &name)
{
    for (qsizetype i = 0; i < remotes.size(); ++i) {
        if (remotes[i].name == name)
            return i;
    }
    return -1;
}

} // namespace

QString RcloneRemote::value(const QString &key) const
{
    for (auto it = keys.crbegin(); it != keys.crend(); ++it) {
        if (it->first == key)
            return it->second;
    }
    return {};
}

bool RcloneRemote::has(const QString &key) const
{
    return std::any_of(keys.cbegin(), keys.cend(),
                       [&key](const auto &entry) { return entry.first == key; });
}

RcloneConfigReading RcloneConfigReading::parse(const QString &text)
{
    RcloneConfigReading reading;
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.first().startsWith(QChar(0xFEFF)))
        lines.first().remove(0, 1);

    qsizetype section = -1;
    bool sawContent = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || isComment(line))
            continue;
        // rclone looks for its marker on the first line that is neither empty nor a comment.
        if (!sawContent && line.startsWith(QLatin1String("RCLONE_ENCRYPT_V"))) {
            reading.m_encrypted = true;
            reading.m_problem = kCifrada;
            return reading;
        }
        sawContent = true;
        const bool header = line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'));
        const QString name = header ? line.mid(1, line.size() - 2).trimmed() : QString();
        const qsizetype separator = header ? -1 : firstSeparator(line);
        if (header ? name.isEmpty() : separator <= 0) {
            reading.m_remotes.clear();
            reading.m_problem = brokenLineText(int(i + 1), line);
            return reading;
        }
        // Keys before the first header go to a section named DEFAULT, as in rclone.
        if (header || section < 0) {
            const QString sectionName = header ? name : QStringLiteral("DEFAULT");
            section = indexOf(reading.m_remotes, sectionName);
            if (section < 0) {
                section = reading.m_remotes.size();
                reading.m_remotes.append(RcloneRemote{sectionName, {}});
            }
        }
        if (!header)
            reading.m_remotes[section].keys.append(
                {line.left(separator).trimmed(), line.mid(separator + 1).trimmed()});
    }
    return reading;
}

const RcloneRemote *RcloneConfigReading::find(const QString &name) const
{
    const qsizetype at = indexOf(m_remotes, name);
    return at < 0 ? nullptr : &m_remotes[at];
}

} // namespace skyloft
