// SPDX-License-Identifier: MIT
#include "ui/SaveFileChooser.h"

#include "ui/Dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QPointer>
#include <QSaveFile>

namespace skyloft {

SaveFileChooser desktopSaveFileChooser()
{
    return [](QWidget *parent, const SaveRequest &request,
              std::function<void(const QString &)> onChosen) {
        auto *dialog = new QFileDialog(
            parent, request.title, QDir::home().filePath(request.suggestedName), request.filter);
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setDefaultSuffix(request.suffix);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(dialog, &QFileDialog::fileSelected, dialog,
                         [onChosen = std::move(onChosen)](const QString &file) { onChosen(file); });
        dialog->open();
    };
}

void saveThroughDialog(QWidget *parent, const SaveFileChooser &choose, const SaveRequest &request,
                       std::function<QByteArray()> contents)
{
    choose(
        parent, request,
        [parent = QPointer<QWidget>(parent), contents = std::move(contents)](const QString &path) {
            QSaveFile file(path);
            const QByteArray bytes = contents();
            if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() &&
                file.commit())
                return;
            DialogQuestion failure;
            failure.icon = QMessageBox::Warning;
            failure.text = QStringLiteral("No se pudo guardar el archivo");
            failure.informativeText = path + QStringLiteral(": ") + file.errorString();
            failure.buttons = {{QStringLiteral("Aceptar"), DialogButton::Role::Default}};
            if (parent)
                Dialogs::ask(parent, failure, parent, [](int) {});
        });
}

} // namespace skyloft
