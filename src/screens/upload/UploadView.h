// SPDX-License-Identifier: MIT
#pragma once

#include "checks/WebChecks.h"
#include "core/RclonePaths.h"
#include "screens/upload/FileChooser.h"
#include "ui/UrlOpener.h"
#include "upload/FileIntake.h"

#include <QList>
#include <QStringList>
#include <QWidget>

class QLabel;
class QScrollArea;
class QVBoxLayout;

namespace skyloft {

class DropZone;
class ProgressCard;
class QueuedFilesModel;
class RcloneBackends;
class RemoteDestinations;
class SectionSwitcher;
class ServicePill;
class StyledButton;
class UploadRuns;
class UploadState;

// What the upload screen reaches outside the window: rclone and its configuration file, the
// web addresses of the checks, the browser, and the file chooser.
struct UploadViewSetup
{
    RclonePaths paths;
    WebAddresses webAddresses;
    UrlOpener openUrl;
    FileChooser chooseFiles;
    // What the installed rclone supports, when known (not owned).
    RcloneBackends *backends = nullptr;
    // Who makes the runs (not owned); the screen makes its own over `paths` when none is given.
    UploadRuns *runs = nullptr;
    // The other remotes that can make public links, offered after the services (not owned).
    RemoteDestinations *destinations = nullptr;

    // The process's rclone, the build's addresses (unless the environment overrides them), the
    // desktop's browser and file dialog.
    static UploadViewSetup forApplication();
};

// The upload tab: drop files, pick services, upload, and follow each service's progress. It owns
// the upload state; its runs come from UploadRuns, which announces them. Each time it appears it
// checks the connection, rescans the authorized services and checks for a newer version.
class UploadView : public QWidget
{
    Q_OBJECT
public:
    explicit UploadView(UploadViewSetup setup, QWidget *parent = nullptr);
    ~UploadView() override;

    UploadState *state() const { return m_state; }
    UploadRuns *runs() const { return m_runs; }

    // The upload button.
    void startUpload();
    // A card's cancel button.
    void cancelService(const QString &displayName);
    WebChecks *webChecks() const { return m_checks; }

    // Files and folders named on the command line, queued as if dropped.
    void queueCommandLinePaths(const QStringList &paths);
    // Files and folders handed over by another launch or the desktop, queued as a drop is.
    void queueUrls(const QList<QUrl> &urls);

    // Connectivity check, then the authorization scan, then (when the configuration file could
    // be read) the update check.
    void uploadScreenAppeared();

    DropZone *dropZone() const { return m_dropZone; }
    // The services' pills, then the other remotes'.
    QList<ServicePill *> servicePills() const { return m_pills + m_extraPills; }
    StyledButton *uploadButton() const { return m_uploadButton; }
    QLabel *uploadHint() const { return m_uploadHint; }
    StyledButton *cancelAllButton() const { return m_cancelAll; }
    QList<ProgressCard *> progressCards() const { return m_cards; }
    SectionSwitcher *sections() const { return m_sections; }

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *makeMainColumn();
    QWidget *makeServicesBlock(QWidget *parent);
    QWidget *makeProgressSection();
    void chooseFiles(ChooserKind kind);
    void showSectionForState();
    void updatePills();
    // The "Otros:" row as tall as the tallest pill, plus its scroll bar while one is shown.
    void fitOtherRow();
    void showLogo(int size);
    // The "Otros:" row, made again whenever the other remotes change.
    void showOtherRemotes();
    // A service whose remote's type is a backend the installed rclone lacks cannot upload.
    void updatePillAvailability();
    void updateUploadButton();
    void updateCards();
    // A dropped, chosen or named path that cannot be uploaded is said, by name, at once.
    void reportRefused(const QList<FileIntake::Refused> &refused);
    void askAuthorization();
    void askConnection();
    void offerUpdate();

    UploadViewSetup m_setup;
    UploadState *m_state;
    UploadRuns *m_runs;
    WebChecks *m_checks;
    QueuedFilesModel *m_queuedFiles;
    SectionSwitcher *m_sections;
    DropZone *m_dropZone = nullptr;
    QLabel *m_logo = nullptr;
    QList<ServicePill *> m_pills;
    QWidget *m_otherRow = nullptr;
    // Why rclone cannot use its file, under "Servicios:", when that is so.
    QLabel *m_configProblem = nullptr;
    QWidget *m_otherPills = nullptr;
    QScrollArea *m_otherScroll = nullptr;
    QList<ServicePill *> m_extraPills;
    QWidget *m_uploadButtonRow = nullptr;
    StyledButton *m_uploadButton = nullptr;
    QLabel *m_uploadHint = nullptr;
    StyledButton *m_cancelAll = nullptr;
    QVBoxLayout *m_cardsLayout = nullptr;
    QList<ProgressCard *> m_cards;
};

} // namespace skyloft
