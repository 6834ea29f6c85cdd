// SPDX-License-Identifier: MIT
#pragma once

#include "upload/GeneratedLinks.h"

#include <QList>
#include <QString>

namespace skyloft {

// One block of the links screen: a remote name and its links in recording order.
struct ServiceSection
{
    QString id;
    QList<LinkItem> items;
};

// The services' sections in ascending key order (plain character-code comparison), then the
// other remotes' in the same order.
QList<ServiceSection> serviceSections(const LinksByRemote &links);
// That order, for two section keys.
bool sectionBefore(const QString &a, const QString &b);

// A service's section header: first letter of each word upper-case, the rest lower-case.
// Another remote's: its name.
QString sectionTitle(const QString &id);

// Every link, section after section, one per line, without a final line feed.
QString allLinksText(const QList<ServiceSection> &sections);

} // namespace skyloft
