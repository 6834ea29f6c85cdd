// SPDX-License-Identifier: MIT
#include "CapturedStdout.h"

#include <QFile>

#include <cstdio>
#include <unistd.h>

namespace skyloft::test {

CapturedStdout::CapturedStdout()
{
    if (!m_file.open())
        return;
    std::fflush(stdout);
    m_savedFd = ::dup(STDOUT_FILENO);
    ::dup2(m_file.handle(), STDOUT_FILENO);
}

CapturedStdout::~CapturedStdout()
{
    if (m_savedFd < 0)
        return;
    std::fflush(stdout);
    ::dup2(m_savedFd, STDOUT_FILENO);
    ::close(m_savedFd);
    // Show what was captured, so a failing test's log still tells the story.
    const QByteArray captured = text().toUtf8();
    std::fwrite(captured.constData(), 1, static_cast<size_t>(captured.size()), stdout);
    std::fflush(stdout);
}

QString CapturedStdout::text() const
{
    std::fflush(stdout);
    QFile file(m_file.fileName());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

QStringList CapturedStdout::lines() const
{
    QStringList result = text().split(QLatin1Char('\n'));
    if (!result.isEmpty() && result.last().isEmpty())
        result.removeLast();
    return result;
}

} // namespace skyloft::test
