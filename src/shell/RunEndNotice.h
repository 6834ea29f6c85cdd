// SPDX-License-Identifier: MIT
#pragma once

#include "upload/PairOutcome.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QWidget;

namespace skyloft {

class TrayIcon;

// What the notice's actions do.
struct RunEndActions
{
    std::function<void()> showLinks; // "Ver enlaces", and a click on the notice
    std::function<void()> copyLinks; // "Copiar enlaces": every link, as "Copiar Todo"
};

// How a run went: links made and pairs failed.
struct RunTally
{
    int links = 0;
    int failed = 0;
    static RunTally of(const QList<PairOutcome> &outcomes);
};

// The desktop notification at the end of a run, for a user who is looking elsewhere: through the
// freedesktop notification service on the session bus, as Skyloft's own (its icon and desktop
// entry), with the actions "Ver enlaces" and "Copiar enlaces"; else the balloon of `tray`, when a
// tray exists, which shows the links when clicked.
class RunEndNotice : public QObject
{
    Q_OBJECT
public:
    RunEndNotice(QWidget *window, RunEndActions actions, TrayIcon *tray = nullptr,
                 QObject *parent = nullptr);

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
    RunEndActions m_actions;
    uint m_lastId = 0;
    bool m_listening = false;
    QPointer<TrayIcon> m_tray;
};

} // namespace skyloft
