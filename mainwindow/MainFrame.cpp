#include "mainwindow/MainFrame.h"

MainFrame::MainFrame() {}

MainFrame::~MainFrame() {}
