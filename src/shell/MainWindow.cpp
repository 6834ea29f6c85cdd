// SPDX-License-Identifier: MIT
#include "shell/MainWindow.h"

#include "screens/upload/UploadView.h"
#include "shell/ContentView.h"
#include "shell/MainView.h"

#include <QLayout>

namespace skyloft {

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), m_contentView(new ContentView(this))
{
    setWindowTitle(QStringLiteral("Skyloft"));
    setCentralWidget(m_contentView);
}

void MainWindow::queueFiles(const QStringList &paths)
{
    m_contentView->mainView()->uploadView()->queueCommandLinePaths(paths);
}

void MainWindow::fixContentSize(int width, int height)
{
    m_contentView->setFixedSize(width, height);
    // The window follows its content (and the menu bar when it arrives) and cannot be resized.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
}

} // namespace skyloft
