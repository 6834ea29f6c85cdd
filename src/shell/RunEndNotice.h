// SPDX-License-Identifier: MIT
#pragma once

#include "upload/PairOutcome.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QSystemTrayIcon;
class QWidget;

namespace skyloft {

// The desktop notification at the end of a run, for a user who is looking elsewhere: through the
// freedesktop notification service on the session bus, else the system tray's balloon. Clicking
// it calls `onClicked`.
class RunEndNotice : public QObject
{
    Q_OBJECT
public:
    RunEndNotice(QWidget *window, std::function<void()> onClicked, QObject *parent = nullptr);

    // Says how the run went (links made, pairs failed), unless the window is the active one.
    void runEnded(const QList<PairOutcome> &outcomes);
    void runEnded(int links, int failedPairs);

    static QString summary();
    static QString body(int links, int failedPairs);

private Q_SLOTS:
    void actionInvoked(uint id, const QString &actionKey);

private:
    void showInTray(const QString &title, const QString &text);

    QPointer<QWidget> m_window;
    std::function<void()> m_onClicked;
    uint m_lastId = 0;
    bool m_listening = false;
    QSystemTrayIcon *m_tray = nullptr;
};

} // namespace skyloft
