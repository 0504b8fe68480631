// clang-format off
// Every file the compiler reads is checked, whatever its name ends in.
#include "../mainwindow/view/ScanView.h"  // reported
