// SPDX-License-Identifier: MIT
#pragma once

#include <QMainWindow>

namespace skyloft {

class ContentView;

class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);

    ContentView *contentView() const { return m_contentView; }

    // Fixes the content at width x height and the window around it, menu bar included.
    void fixContentSize(int width, int height);

private:
    ContentView *m_contentView;
};

} // namespace skyloft
