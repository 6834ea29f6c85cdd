// SPDX-License-Identifier: MIT
// Writes skyloft's manual page and bash completion from its option tables:
//   skyloft_make_docs MAN_PAGE COMPLETION
#include "cli/CommandDocs.h"

#include <QSaveFile>
#include <QString>

#include <cstdio>

namespace {

bool write(const char *path, const QString &text)
{
    QSaveFile file(QString::fromLocal8Bit(path));
    if (file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) >= 0 && file.commit())
        return true;
    std::fprintf(stderr, "No se pudo escribir %s: %s\n", path, qPrintable(file.errorString()));
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "Uso: %s PAGINA_DE_MANUAL COMPLETADO\n", argv[0]);
        return 2;
    }
    const bool written = write(argv[1], skyloft::CommandDocs::manPage()) &&
                         write(argv[2], skyloft::CommandDocs::bashCompletion());
    return written ? 0 : 1;
}
