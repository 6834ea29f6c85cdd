// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

namespace skyloft {

enum Tab : int
{
    TabUpload = 0,
    TabLinks = 1,
    TabConfiguration = 2
};

// The window's selected tab, shared by the tab container and the upload run.
class TabSelection : public QObject
{
    Q_OBJECT
public:
    explicit TabSelection(QObject *parent = nullptr);

    int selectedTab() const { return m_selectedTab; }
    void setSelectedTab(int tab);

Q_SIGNALS:
    void selectedTabChanged(int tab);

private:
    int m_selectedTab = TabUpload;
};

} // namespace skyloft
