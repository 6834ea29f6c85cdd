// SPDX-License-Identifier: MIT
#pragma once

#include "ui/UrlOpener.h"

#include <QWidget>

class QLabel;

namespace skyloft {

class StyledButton;

// Under the authorize button while a sign-in waits for the browser: what is going on, the address
// rclone waits on (selectable), and buttons to open it, copy it, or stop waiting.
class SignInPanel : public QWidget
{
    Q_OBJECT
public:
    SignInPanel(UrlOpener openUrl, QWidget *parent = nullptr);

    // An empty address hides the panel.
    void setAddress(const QString &address);
    QString address() const;

    StyledButton *openButton() const { return m_open; }
    StyledButton *copyButton() const { return m_copy; }
    StyledButton *cancelButton() const { return m_cancel; }

Q_SIGNALS:
    void cancelRequested();

private:
    UrlOpener m_openUrl;
    QLabel *m_address;
    StyledButton *m_open;
    StyledButton *m_copy;
    StyledButton *m_cancel;
};

} // namespace skyloft
