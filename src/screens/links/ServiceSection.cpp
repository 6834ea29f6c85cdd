// SPDX-License-Identifier: MIT
#include "screens/links/ServiceSection.h"

#include "core/ServiceCatalog.h"

#include <QStringList>

#include <algorithm>

namespace skyloft {

QList<ServiceSection> serviceSections(const LinksByRemote &links)
{
    QList<ServiceSection> sections;
    for (auto it = links.cbegin(); it != links.cend(); ++it)
        sections.append({it.key(), it.value()});
    std::stable_sort(
        sections.begin(), sections.end(),
        [](const ServiceSection &a, const ServiceSection &b) { return sectionBefore(a.id, b.id); });
    return sections;
}

bool sectionBefore(const QString &a, const QString &b)
{
    // QString's operator< compares character codes.
    const bool aService = isServiceSection(a);
    return aService != isServiceSection(b) ? aService : a < b;
}

QString sectionTitle(const QString &id)
{
    // Another remote is shown by its name as rclone knows it.
    if (!isServiceSection(id))
        return id;
    QString title;
    title.reserve(id.size());
    bool wordStart = true;
    for (const QChar c : id) {
        title.append(wordStart ? c.toUpper() : c.toLower());
        wordStart = !c.isLetterOrNumber();
    }
    return title;
}

QString allLinksText(const QList<ServiceSection> &sections)
{
    QStringList lines;
    for (const ServiceSection &section : sections) {
        for (const LinkItem &item : section.items)
            lines.append(item.link);
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace skyloft
