#ifndef RESOURCES_FRAMEWORKIDS_H
#define RESOURCES_FRAMEWORKIDS_H

// The program's icon.
#define IDI_PROGRAM 1

// Strings that identify a language (the program's own or a module's).
#define IDS_LANGUAGE_SIGNATURE 1
#define IDS_LANGUAGE_NAME 2
#define IDS_LANGUAGE_HELPFILE 3
#define IDS_LANGUAGE_ID 4
#define IDS_LANGUAGE_STATUS 5

#endif
