// SPDX-License-Identifier: MIT
#pragma once

#include <QMainWindow>
#include <QStringList>

namespace skyloft {

class ContentView;

class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);

    ContentView *contentView() const { return m_contentView; }

    // Queues files and folders named on the command line on the upload screen.
    void queueFiles(const QStringList &paths);

    // Fixes the content at width x height and the window around it, menu bar included.
    void fixContentSize(int width, int height);

private:
    ContentView *m_contentView;
};

} // namespace skyloft
