// clang-format off
// A layer's tests stand where the layer stands.
#include "../../dialogs/Dialog.h"  // reported
#include "../../protocol/DevicePort.h"  // allowed
