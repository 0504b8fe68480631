#ifndef RESOURCES_DIALOGIDS_H
#define RESOURCES_DIALOGIDS_H

// Progress dialog.
#define IDD_PROGRESS 512
#define IDC_PROGRESS_BAR 1019
#define IDC_PROGRESS_MESSAGE 1020
// Caption and message of the area transfers' progress.
#define IDS_READ_AREA 9216
#define IDS_WRITE_AREA 9217
#define IDS_READING_AREA 9482
#define IDS_WRITING_AREA 9483

// RAM editor.
#define IDD_RAM_EDITOR 649
#define IDC_RAM_READ 1071
#define IDC_RAM_WRITE 1072
#define IDC_RAM_FIRST 1073
#define IDC_RAM_LAST 1075

// FRAM editor.
#define IDD_FRAM_EDITOR 650
#define IDC_FRAM_READ 1069
#define IDC_FRAM_WRITE 1070

#endif
