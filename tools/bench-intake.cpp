// SPDX-License-Identifier: MIT
// How long a drop of a large folder takes to reach the queue: N files (default 10000) in folders
// of 100, walked and queued by the intake. Not a test: timings depend on the machine.
//   cmake --build build --target bench_intake && build/bin/bench_intake [N]
#include "upload/FileIntake.h"
#include "upload/UploadState.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

using namespace skyloft;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? QByteArray(argv[1]).toInt() : 10000;
    QTemporaryDir dir;
    for (int i = 0; i < count; ++i) {
        const QString folder = dir.path() + QStringLiteral("/d%1/e").arg(i / 100);
        QDir().mkpath(folder);
        QFile file(folder + QStringLiteral("/f%1.txt").arg(i % 100));
        if (!file.open(QIODevice::WriteOnly)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
    }

    UploadState state;
    // The intake's line per file would time the terminal, not the intake: the figure goes to
    // standard error.
    if (!std::freopen("/dev/null", "w", stdout))
        return 1;
    QElapsedTimer clock;
    clock.start();
    FileIntake::addDroppedPath(state, dir.path());
    std::fprintf(stderr, "%lld files queued in %lld ms\n",
                 static_cast<long long>(state.archivosSeleccionados().size()),
                 static_cast<long long>(clock.elapsed()));
    return state.archivosSeleccionados().size() == count ? 0 : 1;
}
