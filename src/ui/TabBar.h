// SPDX-License-Identifier: MIT
#pragma once

#include <QTabBar>

namespace skyloft {

// The main window's tab bar. Qt's own tells assistive technology which tab has the focus but not
// which one is open: here every tab reports "selected" while it is the open one, and its press
// action opens it, as a click does.
class TabBar : public QTabBar
{
    Q_OBJECT
public:
    explicit TabBar(QWidget *parent = nullptr);
};

} // namespace skyloft
