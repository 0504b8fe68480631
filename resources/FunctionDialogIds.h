#ifndef RESOURCES_FUNCTIONDIALOGIDS_H
#define RESOURCES_FUNCTIONDIALOGIDS_H

// Function writing dialog: three field combos, two option boxes and the
// file and sensor buttons. The combo texts are those of the sensor
// information's function values.
#define IDD_WRITE_FUNCTION 647
#define IDC_FUNCTION_OPEN 1037
#define IDC_FUNCTION_SAVE 1038
#define IDC_FUNCTION_READ 1039
#define IDC_FUNCTION_WRITE 1040
#define IDC_FUNCTION_OUTPUT_LOGIC 1041
#define IDC_FUNCTION_OUTPUT3 1042
#define IDC_FUNCTION_INPUT4 1043
#define IDC_FUNCTION_NO_SIDEWAYS 1161
#define IDC_FUNCTION_LED_HIGH 1164

// Function setting dialog.
#define IDD_FUNCTION_SETTING 171
#define IDC_SETTING_SLOW_SCANNING 1162
#define IDC_SETTING_APPLY 1163
#define IDC_SETTING_SYNCHRONIZATION 1164

// Filter switch dialog: six filter boxes, ten reserved ones, Read, Write
// and the level switch.
#define IDD_FILTER_SWITCH 172
#define IDC_FILTER_WAVE_FORM_CHECK 1164
#define IDC_FILTER_WAVE_FORM_ERROR 1165
#define IDC_FILTER_MEDIAN 1166
#define IDC_FILTER_ADJOIN_STEP 1167
#define IDC_FILTER_SLICE_LEVEL 1168
#define IDC_FILTER_PHASE_DIFFERENCE 1169
#define IDC_FILTER_RESERVE_FIRST 1170  // "Reserve2" .. "Reserve11": 1170..1179
#define IDC_FILTER_RESERVE_LAST 1179
#define IDC_FILTER_READ 1180
#define IDC_FILTER_WRITE 1181
#define IDC_FILTER_LEVEL 1182

// The write results of all three dialogs.
#define IDS_FUNCTION_WRITE_DONE 9495
#define IDS_FUNCTION_WRITE_FAILED 9496

// The synchronization modes of the option byte: 33540..33544.
#define IDS_SYNC_NONE 33540
#define IDS_SYNC_MASTER 33541
#define IDS_SYNC_SLAVE_90 33542
#define IDS_SYNC_SLAVE_180 33543
#define IDS_SYNC_SLAVE_270 33544

#endif
