// clang-format off
// A room of the main window reaches no higher room, however it names it.
#include "../frame/MainFrame.h"            // reported
#include <mainwindow/frame/MainFrame.h>    // reported
#include "ScanView.h"                      // allowed
#include "../../dialogs/Dialog.h"          // allowed
