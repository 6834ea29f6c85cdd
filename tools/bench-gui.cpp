// SPDX-License-Identifier: MIT
// The window side of tools/bench: drives the real window (offscreen) as a user would and prints
// how long it took and the longest stall of the GUI thread meanwhile, measured by a 1 ms timer.
//
//   skyloft-bench-gui drop FOLDER FILES           drop a folder holding FILES files
//   skyloft-bench-gui links N                     N links recorded at once, links tab shown
//   skyloft-bench-gui upload FOLDER FILES [--rapido]
//                                                 queue the folder and upload it to Google Drive
//                                                 and Dropbox (inside tools/sandbox)
// Output: one line "seconds S gap_ms G busy_ms B": G is the longest stall, B the most processor
// time the GUI thread itself spent within one stall (G minus B is time other processes took).
#include "core/EventLoopGapProbe.h"
#include "core/RclonePaths.h"
#include "screens/upload/DropZone.h"
#include "screens/upload/UploadView.h"
#include "shell/ContentView.h"
#include "shell/MainView.h"
#include "shell/MainWindow.h"
#include "shell/TabSelection.h"
#include "upload/GeneratedLinks.h"
#include "upload/UploadRuns.h"
#include "upload/UploadState.h"

#include <QApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include <cstdio>
#include <functional>

using namespace skyloft;

namespace {

// Runs the event loop until `done` holds, looking every few milliseconds.
void waitUntil(const std::function<bool()> &done)
{
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    check.start(5);
    loop.exec();
}

void drop(QWidget *target, const QUrl &url)
{
    QMimeData data;
    data.setUrls({url});
    const QPoint centre = target->rect().center();
    QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent dropped(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &dropped);
}

void report(double seconds, const EventLoopGapProbe &probe)
{
    std::printf("seconds %.3f gap_ms %.1f busy_ms %.1f\n", seconds, probe.longestGapMs(),
                probe.longestBusyMs());
}

int usage()
{
    std::fputs("uso: skyloft-bench-gui drop CARPETA N | links N | upload CARPETA N [--rapido]\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    if (arguments.size() < 2)
        return usage();
    const QString mode = arguments.at(0);

    MainWindow window;
    window.show();
    UploadView *upload = window.contentView()->mainView()->uploadView();
    UploadState *state = upload->state();
    // Let the window settle (first paint, connectivity check) before measuring.
    QElapsedTimer settle;
    settle.start();
    waitUntil([&] { return settle.elapsed() > 500; });

    EventLoopGapProbe probe;
    QElapsedTimer clock;
    if (mode == QLatin1String("links")) {
        window.contentView()->selectedTab()->setSelectedTab(TabLinks);
        waitUntil([&] { return settle.elapsed() > 800; });
        QList<LinkItem> items;
        const int count = arguments.at(1).toInt();
        for (int i = 0; i < count; ++i)
            items.append({QStringLiteral("archivo %1.bin").arg(i),
                          QStringLiteral("http://127.0.0.1:9/skyloft-drive/archivo%20") +
                              QString::number(i) + QStringLiteral(".bin?X-Amz-Signature=abc")});
        probe.reset();
        clock.start();
        window.contentView()->mainView()->generatedLinks()->appendAll(QStringLiteral("drive"),
                                                                      items);
        // What the append set going (layout, painting) comes in the next turns.
        const qint64 appended = clock.elapsed();
        waitUntil([&] { return clock.elapsed() > appended + 300; });
        report(double(appended) / 1000.0, probe);
        return 0;
    }

    if (arguments.size() < 3)
        return usage();
    const QUrl folder = QUrl::fromLocalFile(arguments.at(1));
    const qsizetype files = arguments.at(2).toLongLong();
    probe.reset();
    clock.start();
    drop(upload->dropZone(), folder);
    waitUntil([&] { return state->archivosSeleccionados().size() >= files; });
    if (mode == QLatin1String("drop")) {
        const qint64 queued = clock.elapsed();
        waitUntil([&] { return clock.elapsed() > queued + 300; });
        report(double(queued) / 1000.0, probe);
        return 0;
    }
    if (mode != QLatin1String("upload"))
        return usage();

    upload->runs()->setEngine(arguments.contains(QLatin1String("--rapido"))
                                  ? UploadRun::Engine::Daemon
                                  : UploadRun::Engine::Processes);
    state->rescanAuthorizations(RclonePaths::process().rcloneConfigPath());
    state->toggleService(QStringLiteral("Google Drive"));
    state->toggleService(QStringLiteral("Dropbox"));
    bool finished = false;
    QObject::connect(upload->runs(), &UploadRuns::runFinished, &app, [&] { finished = true; });
    probe.reset();
    clock.start();
    upload->startUpload();
    waitUntil([&] { return finished; });
    report(double(clock.elapsed()) / 1000.0, probe);
    return 0;
}
