// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

namespace skyloft {

class MainView;
class TabSelection;

// The root view: owns the selected tab and shows the tab container.
class ContentView : public QWidget
{
    Q_OBJECT
public:
    explicit ContentView(QWidget *parent = nullptr);

    TabSelection *selectedTab() const { return m_selectedTab; }
    MainView *mainView() const { return m_mainView; }

private:
    TabSelection *m_selectedTab;
    MainView *m_mainView;
};

} // namespace skyloft
