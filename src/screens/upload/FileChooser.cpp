// SPDX-License-Identifier: MIT
#include "screens/upload/FileChooser.h"

#include <QDir>
#include <QFileDialog>

namespace skyloft {

FileChooser desktopFileChooser()
{
    return [](QWidget *parent, std::function<void(const QStringList &)> onChosen) {
        auto *dialog = new QFileDialog(parent, QStringLiteral("Elegir archivos"), QDir::homePath());
        dialog->setFileMode(QFileDialog::ExistingFiles);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(
            dialog, &QFileDialog::filesSelected, dialog,
            [onChosen = std::move(onChosen)](const QStringList &files) { onChosen(files); });
        dialog->open();
    };
}

} // namespace skyloft
