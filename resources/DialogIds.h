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

// Both memory editors: a cell that holds no word refuses the write.
#define IDS_GRID_NO_WORD 9620

// Sensor information dialog: one tree.
#define IDD_TIV_INFO 642
#define IDC_INFO_TREE 1024

// Its texts: branch labels, values and lines.
#define IDS_INFO_VERSION 8448
#define IDS_INFO_FUNCTIONS 8449
#define IDS_INFO_TROUBLE 8450
#define IDS_INFO_STATISTICS 8451
#define IDS_INFO_OUTPUT_LOGIC 8452
#define IDS_INFO_OUTPUT3_FUNCTION 8453
#define IDS_INFO_INPUT4_FUNCTION 8454
#define IDS_INFO_UNACQUIRABLE 8455
#define IDS_INFO_OFF_WHEN_DETECTING 8456
#define IDS_INFO_ON_WHEN_DETECTING 8457
#define IDS_INFO_OUTPUT3_DETECTION 8458
#define IDS_INFO_SYNCHRONIZATION 8459
#define IDS_INFO_TWO_SCANS_MODE 8460
#define IDS_INFO_SWITCH_OFF_LED 8461
#define IDS_INFO_AREA_SELECT 8462
#define IDS_INFO_FLAT_MODEL 8463
#define IDS_INFO_LONG_RANGE 8464
#define IDS_INFO_SHORT_RANGE 8465
#define IDS_INFO_PNP 8466
#define IDS_INFO_SMALL_HYSTERESIS 8467
#define IDS_INFO_HOLE_DETECTION 8468
#define IDS_INFO_SLOW_SCANNING 8469
#define IDS_INFO_NO_TROUBLE 8470  // trouble codes 0..5: 8470..8475
#define IDS_INFO_SOFTWARE_TROUBLE 8475
#define IDS_INFO_SCAN_COUNT 8476  // statistics counters 0..7: 8476..8483
#define IDS_INFO_UNUSED 8487

// I/O test dialog: a lamp and a three-state button per line, inputs 1..4
// then outputs 1..4.
#define IDD_IO_TEST 643
#define IDC_IO_LAMP_FIRST 1033
#define IDC_IO_FORCE_FIRST 1041
#define IDC_IO_INPUTS 1049
#define IDC_IO_OUTPUTS 1050
#define IDC_IO_HINT 1051
#define IDI_LAMP_OFF 768  // a clear state bit
#define IDI_LAMP_ON 769   // a set state bit, and every lamp at start

// Header and footer dialog.
#define IDD_HEADER_FOOTER 162
#define IDC_HEADER_TEXT 1150
#define IDC_FOOTER_TEXT 1151
#define IDC_HEADER_LABEL 1152
#define IDC_FOOTER_LABEL 1153
#define IDC_HEADER_FONT 1154
#define IDC_FOOTER_FONT 1155

// About box.
#define IDD_ABOUT 645
#define IDC_ABOUT_ICON 1022
#define IDC_ABOUT_TEXT 1023

#endif
