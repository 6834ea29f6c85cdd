// SPDX-License-Identifier: MIT
#pragma once

#include <QTabWidget>

namespace skyloft {

class GeneratedLinks;
class LinksView;
struct PairOutcome;
class UploadRun;
class RcloneBackends;
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

    // Copies and links again one pair of the history; its outcome joins this session's links.
    void retry(const PairOutcome &pair);

Q_SIGNALS:
    // Any run of the window is about to start: the upload button's, or a retry from the links
    // tab or the history.
    void runStarted(skyloft::UploadRun *run);

private:
    QWidget *makeUploadScreen();
    QWidget *makeLinksScreen();
    QWidget *makeConfigScreen();

    TabSelection *m_selectedTab;
    GeneratedLinks *m_generatedLinks;
    UploadView *m_uploadView = nullptr;
    LinksView *m_linksView = nullptr;
    // Asked once at start; both the upload and the configuration screen follow it.
    RcloneBackends *m_backends;
};

} // namespace skyloft
