#ifndef MAINWINDOW_MENUHINT_H
#define MAINWINDOW_MENUHINT_H

#include <windows.h>

#include <string>

// The status-bar hint of a menu item or band button, by its id, in the
// current language: a language command shows its language's description, a
// port command and an area choice share one text formatted with their
// number, every other id shows the string of the same id ("" when there is
// none).
class MenuHint {
public:
    static std::string Text(UINT id);
};

#endif
