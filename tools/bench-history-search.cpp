// SPDX-License-Identifier: MIT
// How the history window copes with a long history: loading, searching as one types, sorting and
// scrolling over N rows (default 100000). Not a test: timings depend on the machine.
//   cmake --build build --target bench_history_search && build/bin/bench_history_search [N]
#include "history/HistoryStore.h"
#include "screens/history/HistoryModel.h"
#include "screens/history/HistoryWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using namespace skyloft;

namespace {

void report(const char *what, qint64 nanoseconds)
{
    std::printf("%-46s %9.2f ms\n", what, double(nanoseconds) / 1e6);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rows = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;
    QTemporaryDir dir;
    const QString path = dir.filePath("historial.sqlite");
    const QStringList services = {"Google Drive", "Dropbox", "Mega", "1Fichier"};
    QElapsedTimer clock;
    {
        HistoryStore store(path);
        clock.start();
        const QDateTime start = QDateTime::currentDateTimeUtc().addDays(-365);
        for (int i = 0; i < rows; ++i) {
            const QString file = QStringLiteral("foto-%1-vacaciones.jpg").arg(i);
            store.record({services.at(i % 4), QString(), file, "/home/ana/Fotos/" + file, i * 1000,
                          QStringLiteral("https://enlace.example/%1").arg(i),
                          i % 10 ? PairState::Subido : PairState::CopiaFallida, QString()},
                         start.addSecs(i * 60));
        }
        std::printf("%d rows written, %.1f µs a row\n", rows,
                    double(clock.nsecsElapsed()) / 1e3 / rows);
    }
    HistoryStore store(path);
    clock.restart();
    const qsizetype read = store.entries().size();
    report(qPrintable(QStringLiteral("reading %1 rows from the database").arg(read)),
           clock.nsecsElapsed());
    {
        HistoryModel model(&store);
        QSignalSpy loaded(&model, &HistoryModel::loaded);
        if (!loaded.wait(60000))
            return 1;
        clock.restart();
        model.sort(HistoryModel::Fecha, Qt::DescendingOrder);
        report("sorting the model by date", clock.nsecsElapsed());
    }
    clock.restart();
    HistoryWindow window(&store, HistoryWindowSetup::forApplication());
    report("opening the window (the GUI thread's share)", clock.nsecsElapsed());
    window.show();
    QSignalSpy loaded(window.findChild<HistoryModel *>(), &HistoryModel::loaded);
    if (!loaded.wait(60000))
        return 1;
    report("until the rows are in (read + sort by date)", clock.nsecsElapsed());
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;

    const QStringList typed = {"f",       "fo",   "foto-9",       "foto-99", "foto-999",
                               "DROPBOX", "mega", "nada-de-esto", ""};
    qint64 worst = 0;
    for (const QString &text : typed) {
        clock.restart();
        window.searchField()->setText(text);
        const qint64 elapsed = clock.nsecsElapsed();
        worst = std::max(worst, elapsed);
        report(qPrintable(QStringLiteral("search \"%1\" (%2 rows shown)")
                              .arg(text)
                              .arg(window.table()->model()->rowCount())),
               elapsed);
    }
    report("worst search", worst);

    clock.restart();
    window.table()->sortByColumn(HistoryModel::Archivo, Qt::AscendingOrder);
    report("sort by file name", clock.nsecsElapsed());

    QScrollBar *bar = window.table()->verticalScrollBar();
    constexpr int kPages = 200;
    clock.restart();
    for (int i = 0; i < kPages; ++i) {
        bar->setValue(int(qint64(bar->maximum()) * ((i * 7919) % kPages) / kPages));
        window.table()->viewport()->repaint();
    }
    report("scroll and paint one page (average)", clock.nsecsElapsed() / kPages);
    return 0;
}
