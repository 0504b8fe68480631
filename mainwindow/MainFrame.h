#ifndef MAINWINDOW_MAINFRAME_H
#define MAINWINDOW_MAINFRAME_H

#include "framework/ChildWindow.h"

// The main window: menus, commands and the device notifications.
class MainFrame : public ChildWindow {
public:
    MainFrame();
    ~MainFrame() override;
};

#endif
