// SPDX-License-Identifier: MIT
#include "upload/GeneratedLinks.h"

namespace skyloft {

GeneratedLinks::GeneratedLinks(QObject *parent) : QObject(parent) {}

void GeneratedLinks::append(const QString &remoteName, const LinkItem &item)
{
    m_links[remoteName].append(item);
    Q_EMIT appended(remoteName, item);
    Q_EMIT changed();
}

void GeneratedLinks::clear()
{
    m_links.clear();
    Q_EMIT changed();
}

} // namespace skyloft
