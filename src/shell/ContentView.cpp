// SPDX-License-Identifier: MIT
#include "shell/ContentView.h"

#include "shell/MainView.h"
#include "shell/TabSelection.h"

#include <QVBoxLayout>

namespace skyloft {

ContentView::ContentView(QWidget *parent)
    : QWidget(parent), m_selectedTab(new TabSelection(this)),
      m_mainView(new MainView(m_selectedTab, this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_mainView);
}

} // namespace skyloft
