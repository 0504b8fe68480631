#ifndef RESOURCES_RESOURCE_H
#define RESOURCES_RESOURCE_H

// Resource ids of the program, one header per area. A language module
// carries every resource under the same id.
#include "resources/FrameworkIds.h"
#include "resources/DialogIds.h"
#include "resources/DevelopDialogIds.h"
#include "resources/FunctionDialogIds.h"
#include "resources/DataDialogIds.h"
#include "resources/MenuIds.h"
#include "resources/FirmwareIds.h"
#include "resources/ToolBandIds.h"
#include "resources/ViewIds.h"
#include "resources/StatusBarIds.h"
#include "resources/FrameIds.h"
#include "resources/HelpIds.h"
#include "resources/CommandIds.h"
#include "resources/EngineeringIds.h"

#endif
