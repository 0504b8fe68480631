// clang-format off
// Include forms a dialog may and may not use: "reported" marks the lines the
// layer check must report, "allowed" the ones it must let pass.
#include "../mainwindow/view/ScanView.h"  // reported
#include "mainwindow/view/ScanView.h"     // reported
#include <mainwindow/frame/MainFrame.h>   // reported
#  include  "../mainwindow/frame/MainFrame.h"  // reported
#include "../protocol/DevicePort.h"       // allowed
#include <protocol/DevicePort.h>          // allowed
#include <windows.h>                      // allowed
