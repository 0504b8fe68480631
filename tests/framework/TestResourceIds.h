#ifndef TESTS_FRAMEWORK_TESTRESOURCEIDS_H
#define TESTS_FRAMEWORK_TESTRESOURCEIDS_H

// Resources of the framework tests, in a range the program does not use.
#define IDD_TEST_EXTENDED 0x7101
#define IDD_TEST_PLAIN_NOFONT 0x7102
#define IDD_TEST_RESIZABLE 0x7103
#define IDD_TEST_ICON 0x7104
#define IDD_TEST_PLAIN_FONT 0x7105
#define IDD_TEST_DAMAGED 0x7F01

#define IDC_TEST_EDIT 1001
#define IDC_TEST_TEXT 1002

// Only in the test program, never in a module.
#define IDS_TEST_PROGRAM_ONLY 0x7201
// A format with a conversion, in the program and the module.
#define IDS_TEST_FORMAT 0x7202
// A format whose module text reads other arguments than the program's.
#define IDS_TEST_MISMATCH 0x7203

#endif
