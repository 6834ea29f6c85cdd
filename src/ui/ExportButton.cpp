// SPDX-License-Identifier: MIT
#include "ui/ExportButton.h"

#include <QDate>
#include <QMenu>

namespace skyloft {

namespace {

const QString kExportar = QStringLiteral("Exportar…");
const QString kTitulo = QStringLiteral("Exportar enlaces");

} // namespace

ExportButton::ExportButton(std::function<QList<ExportedLink>()> links, SaveFileChooser chooseFile,
                           QWidget *parent)
    : QPushButton(kExportar, parent), m_links(std::move(links)), m_chooseFile(std::move(chooseFile))
{
    setAccessibleName(kExportar);
    setAccessibleDescription(QStringLiteral("Guarda los enlaces en CSV, Markdown o JSON"));
    setAutoDefault(false);
    auto *menu = new QMenu(this);
    menu->setAccessibleName(kExportar);
    for (const ExportFormatInfo &info : exportFormats()) {
        QAction *action = menu->addAction(info.name);
        connect(action, &QAction::triggered, this,
                [this, format = info.format] { exportAs(format); });
    }
    setMenu(menu);
}

void ExportButton::exportAs(ExportFormat format)
{
    const auto info =
        std::find_if(exportFormats().cbegin(), exportFormats().cend(),
                     [format](const ExportFormatInfo &i) { return i.format == format; });
    SaveRequest request;
    request.title = kTitulo;
    request.suggestedName = QStringLiteral("enlaces-skyloft-") +
                            QDate::currentDate().toString(Qt::ISODate) + QLatin1Char('.') +
                            info->suffix;
    request.filter = info->filter;
    request.suffix = info->suffix;
    // The links are taken when the user has chosen where, so the file holds what is shown then.
    saveThroughDialog(this, m_chooseFile, request,
                      [links = m_links, format] { return exportLinks(links(), format); });
}

} // namespace skyloft
