// SPDX-License-Identifier: MIT
#pragma once

#include "upload/GeneratedLinks.h"

#include <QHash>
#include <QObject>
#include <QString>

namespace skyloft {

class UploadRun;
class UploadRuns;

// What the links screen does, apart from drawing: copying to the clipboard, the copy notice and
// the clear-all confirmation. The links themselves belong to the shared GeneratedLinks.
class LinksState : public QObject
{
    Q_OBJECT
public:
    // "Reintentar" asks `runs` for its run.
    LinksState(GeneratedLinks *generatedLinks, UploadRuns *runs, QObject *parent = nullptr);

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
    // "Reintentar fallidos": every failed card not already being retried, in one run.
    void retryFailed();
    bool hasFailed() const;

    static constexpr int kToastMs = 2000;
    // How long the notices raised from now on stay; lets a test order the hidings without a clock.
    void setToastMs(int ms) { m_toastMs = ms; }

Q_SIGNALS:
    void showToastChanged(bool shown);
    void toastTextChanged(const QString &text);
    void showClearConfirmationChanged(bool shown);

private:
    void notify(const QString &text);
    void setShowToast(bool shown);
    void setShowClearConfirmation(bool shown);
    void retryCards(const QList<QPair<QString, qsizetype>> &positions);
    bool isRetrying(const QString &remoteName, qsizetype item) const;

    GeneratedLinks *m_generatedLinks;
    UploadRuns *m_runs;
    // The cards each retry under way puts its outcomes in, as they were when retried.
    struct RetriedCard
    {
        QString remoteName;
        qsizetype item;
        LinkItem original;
    };
    QHash<UploadRun *, QList<RetriedCard>> m_retrying;
    int m_toastMs = kToastMs;
    bool m_showToast = false;
    QString m_toastText;
    bool m_showClearConfirmation = false;
};

} // namespace skyloft
