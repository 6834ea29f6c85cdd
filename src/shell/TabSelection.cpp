// SPDX-License-Identifier: MIT
#include "shell/TabSelection.h"

namespace skyloft {

TabSelection::TabSelection(QObject *parent) : QObject(parent) {}

void TabSelection::setSelectedTab(int tab)
{
    if (tab == m_selectedTab)
        return;
    m_selectedTab = tab;
    Q_EMIT selectedTabChanged(tab);
}

} // namespace skyloft
