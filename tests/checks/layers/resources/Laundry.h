// A folder outside the layers: what it includes counts for its includer.
#include "../mainwindow/frame/MainFrame.h"
