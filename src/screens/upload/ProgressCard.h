// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class QLabel;

namespace skyloft {

class ServiceProgressBar;
class StyledButton;
struct ServiceProgress;
struct ServiceTransfer;

// One selected service while uploading: its name, a small button that cancels it, and its
// progress bar.
class ProgressCard : public QWidget
{
    Q_OBJECT
public:
    explicit ProgressCard(const QString &displayName, QWidget *parent = nullptr);

    QString displayName() const { return m_displayName; }
    // No entry (the run has not reached the service) shows an empty bar.
    void setProgress(const ServiceProgress *entry);
    // Under the bar: files, bytes, speed and time left; "En espera" before the run reaches it.
    void setTransfer(const ServiceTransfer *transfer);
    // A cancelled card says so and no longer offers its cancel button.
    void setCancelled(bool cancelled);

    ServiceProgressBar *bar() const { return m_bar; }
    StyledButton *cancelButton() const { return m_cancel; }
    // "Cancelado", the stall notice, or nothing.
    QString notice() const;
    QString transferText() const;

Q_SIGNALS:
    void cancelRequested(const QString &displayName);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_displayName;
    ServiceProgressBar *m_bar;
    StyledButton *m_cancel;
    QLabel *m_transfer;
    QLabel *m_notice;
    bool m_cancelled = false;
};

} // namespace skyloft
