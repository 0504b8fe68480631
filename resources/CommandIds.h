#ifndef RESOURCES_COMMANDIDS_H
#define RESOURCES_COMMANDIDS_H

// Questions and refusals of the File, Communication and print commands.
// "Cannot open file." is IDS_CANNOT_OPEN_FILE of the firmware texts, "No
// printer is installed." IDS_NO_PRINTER of the frame's.
#define IDS_AREA_READ_ASK 9475
#define IDS_AREA_WRITE_ASK 9476
#define IDS_AREA_NOT_WRITABLE 9479
#define IDS_SHOW_RECORD_ASK 9484
#define IDS_SAVE_RECORD_ASK 9491
#define IDS_SAVE_AREA_ASK 9492
#define IDS_CANNOT_OPEN_PROPERTY 9498
#define IDS_CANNOT_OPEN_PAGE_SETUP 9499
#define IDS_CANNOT_PRINT 9500
#define IDS_CANNOT_CREATE_EMF 9501

#endif
