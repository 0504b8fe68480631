// clang-format off
// Every file the compiler reads is checked, whatever its name ends in: .c.
#include "../mainwindow/view/ScanView.h"  // reported
