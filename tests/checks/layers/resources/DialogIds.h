// Outside the layers, including only what a dialog may.
#include "../protocol/DevicePort.h"
