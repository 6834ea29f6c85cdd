// SPDX-License-Identifier: MIT
#pragma once

#include <QTabWidget>

namespace skyloft {

class GeneratedLinks;
class LinksView;
struct PairOutcome;
class UploadRuns;
class RcloneBackends;
class RemoteDestinations;
class TabSelection;
class UploadView;

// The tab container: upload, links and configuration screens, tagged 0, 1 and 2. Owns the links
// of the session; the selected tab is bound to the one ContentView owns.
class MainView : public QTabWidget
{
    Q_OBJECT
public:
    explicit MainView(TabSelection *selectedTab, QWidget *parent = nullptr);

    GeneratedLinks *generatedLinks() const { return m_generatedLinks; }
    TabSelection *selectedTab() const { return m_selectedTab; }
    UploadView *uploadView() const { return m_uploadView; }
    LinksView *linksView() const { return m_linksView; }
    // Every run of the window: the upload button's and the retries of the links tab and the
    // history.
    UploadRuns *uploadRuns() const { return m_runs; }

    // Copies and links again pairs of the history; their outcomes join this session's links.
    void retry(const QList<PairOutcome> &pairs);

private:
    QWidget *makeUploadScreen();
    QWidget *makeLinksScreen();
    QWidget *makeConfigScreen();

    TabSelection *m_selectedTab;
    GeneratedLinks *m_generatedLinks;
    UploadRuns *m_runs;
    UploadView *m_uploadView = nullptr;
    LinksView *m_linksView = nullptr;
    // Asked once at start; both the upload and the configuration screen follow it.
    RcloneBackends *m_backends;
    RemoteDestinations *m_destinations;
};

} // namespace skyloft
