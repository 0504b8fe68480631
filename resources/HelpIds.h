#ifndef RESOURCES_HELPIDS_H
#define RESOURCES_HELPIDS_H

// Texts of the Help menu's commands: the missing help file and the warning
// before a firmware update.
#define IDS_HELP_NOT_FOUND 9474
#define IDS_FIRMWARE_WARNING 9485

#endif
