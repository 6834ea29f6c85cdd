// SPDX-License-Identifier: MIT
#include "shell/TrayIcon.h"

#include <QApplication>
#include <QMenu>
#include <QSystemTrayIcon>

#include <cmath>

namespace skyloft {

namespace {

const QString kSkyloft = QStringLiteral("Skyloft");

} // namespace

TrayIcon::TrayIcon(std::function<void()> bringForward, QObject *parent)
    : QObject(parent), m_bringForward(std::move(bringForward)),
      m_icon(new QSystemTrayIcon(QApplication::windowIcon(), this)), m_menu(new QMenu)
{
    m_icon->setToolTip(kSkyloft);
    connect(m_menu->addAction(QStringLiteral("Mostrar Skyloft")), &QAction::triggered, this,
            [this] { m_bringForward(); });
    connect(m_menu->addAction(QStringLiteral("Salir")), &QAction::triggered, qApp,
            &QCoreApplication::quit, Qt::QueuedConnection);
    m_icon->setContextMenu(m_menu);
    connect(m_icon, &QSystemTrayIcon::messageClicked, this, &TrayIcon::messageClicked);
    connect(m_icon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
                    m_bringForward();
            });
}

// The menu has no parent widget to take it.
TrayIcon::~TrayIcon()
{
    delete m_menu;
}

bool TrayIcon::isAvailable()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayIcon::setWanted(bool wanted)
{
    m_wanted = wanted;
    m_icon->setVisible(wanted && isAvailable());
}

bool TrayIcon::isVisible() const
{
    return m_icon->isVisible();
}

bool TrayIcon::showMessage(const QString &title, const QString &text)
{
    if (!isAvailable())
        return false;
    m_icon->show();
    m_icon->showMessage(title, text, QSystemTrayIcon::Information);
    return true;
}

void TrayIcon::setProgress(std::optional<double> progress)
{
    m_icon->setToolTip(
        progress ? QStringLiteral("Skyloft: subiendo, %1 %").arg(int(std::floor(*progress * 100.0)))
                 : kSkyloft);
}

} // namespace skyloft
