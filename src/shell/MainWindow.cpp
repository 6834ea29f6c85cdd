// SPDX-License-Identifier: MIT
#include "shell/MainWindow.h"

#include "core/Log.h"
#include "core/Settings.h"
#include "history/HistoryStore.h"
#include "screens/history/HistoryWindow.h"
#include "screens/links/LinksState.h"
#include "screens/links/LinksView.h"
#include "screens/upload/UploadView.h"
#include "shell/ContentView.h"
#include "shell/LauncherEntry.h"
#include "shell/MainView.h"
#include "shell/RunEndNotice.h"
#include "shell/RunProgress.h"
#include "shell/TabSelection.h"
#include "shell/TrayIcon.h"
#include "ui/Announcer.h"
#include "ui/Dialogs.h"
#include "upload/FailureCause.h"
#include "upload/UploadRuns.h"

#include <QLayout>
#include <QSet>
#include <QTimer>

namespace skyloft {

MainWindow::MainWindow(QWidget *parent) : MainWindow(HistoryStore::defaultPath(), parent) {}

MainWindow::MainWindow(const QString &historyPath, QWidget *parent)
    : QMainWindow(parent), m_contentView(new ContentView(this)),
      m_history(new HistoryStore(historyPath, this)),
      m_trayIcon(new TrayIcon([this] { bringForward(); }, this)),
      m_runEndNotice(new RunEndNotice(this, {[this] { showLinks(); }, [this] { copyLinks(); }},
                                      m_trayIcon, this)),
      m_runProgress(new RunProgress(m_contentView->mainView()->uploadRuns(), this)),
      m_launcherEntry(new LauncherEntry(QDBusConnection::sessionBus(), this)),
      m_announcer(new Announcer(m_contentView))
{
    setWindowTitle(QStringLiteral("Skyloft"));
    setCentralWidget(m_contentView);
    if (!m_history->problem().isEmpty())
        logLine(QStringLiteral("⚠️ ") + m_history->problem());
    connect(m_history, &HistoryStore::problemFound, this, &MainWindow::reportHistoryProblem);
    m_trayIcon->setWanted(Settings().iconoEnLaBandeja());
    connect(m_runProgress, &RunProgress::changed, m_launcherEntry, &LauncherEntry::setProgress);
    connect(m_runProgress, &RunProgress::changed, m_trayIcon, &TrayIcon::setProgress);
    // Every pair of every run goes to the history as it ends; the run's end may call for a notice.
    UploadRuns *runs = m_contentView->mainView()->uploadRuns();
    connect(runs, &UploadRuns::pairFinished, m_history,
            [history = m_history](UploadRun *, const PairOutcome &pair) {
                history->record(pair, pair.ended);
            });
    connect(runs, &UploadRuns::runFinished, m_history, &HistoryStore::flush);
    connect(runs, &UploadRuns::runFinished, m_runEndNotice,
            [notice = m_runEndNotice](UploadRun *run) {
                // A run the user stopped needs no notice.
                if (!run->wasStopped())
                    notice->runEnded(run->outcomes());
            });
    announceRuns(runs);
}

// A screen reader hears each kind of failure of a run once, as it happens, and the run's end.
void MainWindow::announceRuns(UploadRuns *runs)
{
    connect(
        runs, &UploadRuns::pairFinished, m_announcer,
        [this](UploadRun *run, const PairOutcome &pair) {
            const QString sentence = failureSentence(pair);
            const QString kind = pair.service + QLatin1Char('/') + pair.cause;
            if (sentence.isEmpty() || m_announced.value(run).contains(kind))
                return;
            m_announced[run].insert(kind);
            m_announcer->announce(
                QStringLiteral("No se pudo subir «%1» a %2. ").arg(pair.fileName, pair.service) +
                sentence);
        });
    connect(runs, &UploadRuns::runFinished, m_announcer, [this](UploadRun *run) {
        m_announced.remove(run);
        if (run->wasStopped())
            return;
        const RunTally tally = RunTally::of(run->outcomes());
        m_announcer->announce(RunEndNotice::summary() + QStringLiteral(": ") +
                              RunEndNotice::body(tally.links, tally.failed));
    });
}

MainWindow::~MainWindow()
{
    m_contentView->mainView()->uploadRuns()->stopAll(UploadRun::StopReason::Signal);
}

void MainWindow::queueFiles(const QStringList &paths)
{
    m_contentView->mainView()->uploadView()->queueCommandLinePaths(paths);
}

void MainWindow::openUrls(const QList<QUrl> &urls)
{
    if (!urls.isEmpty()) {
        m_contentView->selectedTab()->setSelectedTab(TabUpload);
        m_contentView->mainView()->uploadView()->queueUrls(urls);
    }
    bringForward();
}

void MainWindow::fixContentSize(int width, int height)
{
    m_contentView->setFixedSize(width, height);
    // The window follows its content (and the menu bar when it arrives) and cannot be resized.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
}

HistoryWindow *MainWindow::showHistory()
{
    if (!m_historyWindow) {
        m_historyWindow = new HistoryWindow(m_history, HistoryWindowSetup::forApplication(), this);
        connect(m_historyWindow, &HistoryWindow::retryRequested, m_contentView->mainView(),
                &MainView::retry);
    }
    m_historyWindow->show();
    m_historyWindow->raise();
    m_historyWindow->activateWindow();
    return m_historyWindow;
}

void MainWindow::showLinks()
{
    m_contentView->selectedTab()->setSelectedTab(TabLinks);
    bringForward();
}

void MainWindow::copyLinks()
{
    m_contentView->mainView()->linksView()->state()->copyAll();
}

void MainWindow::bringForward()
{
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // A history that could not be opened is said once, over the window, when it first appears.
    if (!m_history->problem().isEmpty() && !m_historyProblemShown)
        QTimer::singleShot(0, this, [this] { reportHistoryProblem(m_history->problem()); });
}

void MainWindow::reportHistoryProblem(const QString &message)
{
    if (m_historyProblemShown)
        return;
    m_historyProblemShown = true;
    DialogQuestion question;
    question.icon = QMessageBox::Warning;
    question.text = QStringLiteral("Problema con el historial");
    question.informativeText = message;
    question.buttons = {{QStringLiteral("Aceptar"), DialogButton::Role::Default}};
    Dialogs::ask(this, question, this, [](int) {});
}

} // namespace skyloft
