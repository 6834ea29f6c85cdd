// SPDX-License-Identifier: MIT
#include "screens/links/ServiceSection.h"

#include <QStringList>

namespace skyloft {

QList<ServiceSection> serviceSections(const LinksByRemote &links)
{
    QList<ServiceSection> sections;
    // QMap iterates its keys in QString's operator< order, which compares character codes.
    for (auto it = links.cbegin(); it != links.cend(); ++it)
        sections.append({it.key(), it.value()});
    return sections;
}

QString sectionTitle(const QString &id)
{
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
