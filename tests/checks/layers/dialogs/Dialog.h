// clang-format off
// Include forms a dialog may and may not use: "reported" marks the lines the
// layer check must report, "allowed" the ones it must let pass. A directive
// is reported on the line where it ends.
#include "../mainwindow/view/ScanView.h"  // reported
#include "mainwindow/view/ScanView.h"     // reported
#include <mainwindow/frame/MainFrame.h>   // reported
#  include  "../mainwindow/frame/MainFrame.h"  // reported
#define UPWARD "../mainwindow/view/ScanView.h"
#include UPWARD  // reported
#include \
    "../mainwindow/frame/MainFrame.h"  // reported
/* a note */ #include "../mainwindow/view/ScanView.h"  // reported
%:include "../mainwindow/frame/MainFrame.h"  // reported
#include "../resources/Laundry.h"  // reported
#include "../resources/DialogIds.h"  // allowed
#include "../protocol/DevicePort.h"       // allowed
#include <protocol/DevicePort.h>          // allowed
#include <windows.h>                      // allowed
#if 0
#include "../mainwindow/frame/MainFrame.h"  // allowed
#endif
