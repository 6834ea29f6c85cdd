// SPDX-License-Identifier: MIT
#pragma once

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QSet>
#include <QStringList>
#include <QUrl>

namespace skyloft {

class Announcer;
class ContentView;
class HistoryStore;
class HistoryWindow;
class LauncherEntry;
class RunEndNotice;
class RunProgress;
class TrayIcon;
class UploadRun;
class UploadRuns;

class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    // The history in the user's data folder.
    explicit MainWindow(QWidget *parent = nullptr);
    MainWindow(const QString &historyPath, QWidget *parent = nullptr);
    // Quitting during a run gives each of its pairs its row in the history, as a signal does.
    ~MainWindow() override;

    ContentView *contentView() const { return m_contentView; }
    HistoryStore *history() const { return m_history; }
    RunEndNotice *runEndNotice() const { return m_runEndNotice; }
    // The upload's progress as the desktop shows it: taskbar entry and tray icon.
    RunProgress *runProgress() const { return m_runProgress; }
    TrayIcon *trayIcon() const { return m_trayIcon; }
    Announcer *announcer() const { return m_announcer; }

    // Queues files and folders named on the command line on the upload screen.
    void queueFiles(const QStringList &paths);
    // Another launch's files (or none): brought forward on the upload tab, queued as a drop is.
    void openUrls(const QList<QUrl> &urls);

    // Fixes the content at width x height and the window around it, menu bar included.
    void fixContentSize(int width, int height);

    // "Historial…": opens the history window, or brings it forward.
    HistoryWindow *showHistory();
    // Brings the window forward on the links tab (a click on the end-of-run notice).
    void showLinks();
    // Every link of the session on the clipboard, as "Copiar Todo" does.
    void copyLinks();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void bringForward();
    void announceRuns(UploadRuns *runs);
    void reportHistoryProblem(const QString &message);

    ContentView *m_contentView;
    HistoryStore *m_history;
    TrayIcon *m_trayIcon;
    RunEndNotice *m_runEndNotice;
    RunProgress *m_runProgress;
    LauncherEntry *m_launcherEntry;
    Announcer *m_announcer;
    QHash<UploadRun *, QSet<QString>> m_announced; // the kinds of failure said, per run
    QPointer<HistoryWindow> m_historyWindow;
    bool m_historyProblemShown = false;
};

} // namespace skyloft
