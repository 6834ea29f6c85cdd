// SPDX-License-Identifier: MIT
#include "shell/RcloneCheck.h"

#include "core/Log.h"
#include "ui/Dialogs.h"

#include <QFileInfo>

namespace skyloft {

bool warnIfRcloneMissing(QWidget *window, const RclonePaths &paths)
{
    const QString tried = paths.resourceDir() + QStringLiteral("/rclone");
    if (!paths.globalRclonePath().isEmpty() && QFileInfo(paths.globalRclonePath()).isExecutable())
        return true;
    logLine(QStringLiteral("❌ No se encontró rclone en ") + tried);
    DialogQuestion question;
    question.icon = QMessageBox::Warning;
    question.text = QStringLiteral("No se encontró rclone");
    question.informativeText =
        QStringLiteral("Skyloft sube los archivos con rclone y lo buscó en %1, sin encontrarlo. "
                       "Instálalo (apt-get install rclone) o indica su carpeta con "
                       "SKYLOFT_RESOURCE_DIR.")
            .arg(tried);
    question.buttons = {{QStringLiteral("Vale"), DialogButton::Role::Default}};
    Dialogs::ask(window, question, window, [](int) {});
    return false;
}

} // namespace skyloft
