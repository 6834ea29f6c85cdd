// SPDX-License-Identifier: MIT
#include "screens/upload/FileChooser.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include <algorithm>

namespace skyloft {

namespace {

// Qt's own file dialog, which, asked for existing files, opens a selected folder instead of
// choosing it. This one chooses whatever is selected, files and folders alike; a double click
// still opens a folder.
class FilesAndFoldersDialog : public QFileDialog
{
public:
    explicit FilesAndFoldersDialog(QWidget *parent)
        : QFileDialog(parent, QStringLiteral("Elegir archivos o carpetas"), QDir::homePath())
    {
        setOption(QFileDialog::DontUseNativeDialog);
        setFileMode(QFileDialog::ExistingFiles);
        setLabelText(QFileDialog::Accept, QStringLiteral("Elegir"));
        setLabelText(QFileDialog::Reject, QStringLiteral("Cancelar"));
    }

    void accept() override
    {
        const QStringList chosen = selectedFiles();
        const bool allExist = std::all_of(chosen.cbegin(), chosen.cend(), [](const QString &path) {
            return QFileInfo::exists(path);
        });
        if (chosen.isEmpty() || !allExist) {
            QFileDialog::accept(); // Qt's own handling of typed names
            return;
        }
        Q_EMIT filesSelected(chosen);
        QDialog::accept();
    }
};

} // namespace

FileChooser desktopFileChooser()
{
    return [](QWidget *parent, std::function<void(const QStringList &)> onChosen) {
        auto *dialog = new FilesAndFoldersDialog(parent);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(
            dialog, &QFileDialog::filesSelected, dialog,
            [onChosen = std::move(onChosen)](const QStringList &files) { onChosen(files); });
        dialog->open();
    };
}

} // namespace skyloft
