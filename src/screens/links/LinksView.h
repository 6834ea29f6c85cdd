// SPDX-License-Identifier: MIT
#pragma once

#include "ui/SaveFileChooser.h"

#include <QWidget>

class QPushButton;
class QStackedLayout;

namespace skyloft {

class GeneratedLinks;
class LinksListView;
class LinksModel;
class LinksState;
class Toast;
class UploadRuns;

// The links tab: every share link of the session, grouped by service, with copy one, copy all
// and clear all. It shows and clears the shared GeneratedLinks; links recorded while it is shown
// appear at once.
class LinksView : public QWidget
{
    Q_OBJECT
public:
    // `runs` makes the runs of "Reintentar"; `chooseFile` asks where "Exportar…" saves the
    // links.
    LinksView(GeneratedLinks *generatedLinks, UploadRuns *runs,
              SaveFileChooser chooseFile = desktopSaveFileChooser(), QWidget *parent = nullptr);

    LinksState *state() const { return m_state; }

private:
    QWidget *makeToolbar();
    QWidget *makeEmptyState();
    void showEmptyStateIfNoLinks();
    void askToClear();

    GeneratedLinks *m_generatedLinks;
    SaveFileChooser m_chooseFile;
    LinksState *m_state;
    LinksModel *m_model;
    LinksListView *m_list;
    QStackedLayout *m_body;
    QWidget *m_emptyState;
    Toast *m_toast;
    QPushButton *m_retryFailed = nullptr;
    QPushButton *m_copyAll = nullptr;
    QPushButton *m_clearAll = nullptr;
    QPushButton *m_export = nullptr;
};

} // namespace skyloft
