// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryFile>

namespace skyloft::test {

// Sends this process's standard output to a file while it lives, so tests can read the lines
// Skyloft prints (children that inherit our stdout land there too).
class CapturedStdout
{
public:
    CapturedStdout();
    ~CapturedStdout();
    CapturedStdout(const CapturedStdout &) = delete;
    CapturedStdout &operator=(const CapturedStdout &) = delete;

    QString text() const;
    QStringList lines() const;

private:
    QTemporaryFile m_file;
    int m_savedFd = -1;
};

} // namespace skyloft::test
