#include "mainwindow/program/ProgramEntry.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR commandLine, int showCommand) {
    return ProgramEntry(instance, commandLine, showCommand);
}
