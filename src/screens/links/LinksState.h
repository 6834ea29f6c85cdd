// SPDX-License-Identifier: MIT
#pragma once

#include "core/RclonePaths.h"

#include <QObject>
#include <QSet>
#include <QString>

namespace skyloft {

class GeneratedLinks;
class UploadRun;

// What the links screen does, apart from drawing: copying to the clipboard, the copy notice and
// the clear-all confirmation. The links themselves belong to the shared GeneratedLinks.
class LinksState : public QObject
{
    Q_OBJECT
public:
    LinksState(GeneratedLinks *generatedLinks, RclonePaths paths, QObject *parent = nullptr);

    GeneratedLinks *generatedLinks() const { return m_generatedLinks; }
    bool showToast() const { return m_showToast; }
    // What the notice says: which copy raised it.
    QString toastText() const { return m_toastText; }
    bool showClearConfirmation() const { return m_showClearConfirmation; }

    // Puts `link` on the clipboard and shows the notice for kToastMs. Every copy schedules its
    // own hiding: a later copy does not extend an earlier notice.
    void copyLink(const QString &link);
    // Puts every link on the clipboard, one per line, with the same kind of notice.
    void copyAll();
    // "Limpiar Todo" only asks; answerClear(true) empties the shared links.
    void requestClear();
    void answerClear(bool erase);
    // "Reintentar" on a failed pair's card: copy and link again for that pair only; the card
    // then shows the new outcome. A second press while it runs does nothing.
    void retry(const QString &remoteName, qsizetype item);

    static constexpr int kToastMs = 2000;
    // How long the notices raised from now on stay; lets a test order the hidings without a clock.
    void setToastMs(int ms) { m_toastMs = ms; }

Q_SIGNALS:
    // A retry's run is about to start (so the shell can keep its pair in the history).
    void runStarted(skyloft::UploadRun *run);
    void showToastChanged(bool shown);
    void toastTextChanged(const QString &text);
    void showClearConfirmationChanged(bool shown);

private:
    void notify(const QString &text);
    void setShowToast(bool shown);
    void setShowClearConfirmation(bool shown);

    GeneratedLinks *m_generatedLinks;
    RclonePaths m_paths;
    QSet<QString> m_retrying;
    int m_toastMs = kToastMs;
    bool m_showToast = false;
    QString m_toastText;
    bool m_showClearConfirmation = false;
};

} // namespace skyloft
