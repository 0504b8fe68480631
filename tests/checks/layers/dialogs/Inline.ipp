// clang-format off
// Every file the compiler reads is checked, whatever its name ends in: .ipp.
#include "../mainwindow/view/ScanView.h"  // reported
