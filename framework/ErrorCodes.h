#ifndef FRAMEWORK_ERRORCODES_H
#define FRAMEWORK_ERRORCODES_H

// The program's own last-error codes carry bit 29 (the customer bit).
enum AppErrorCode : unsigned long {
    kErrorMessageLoop = 0x20000000UL,      // the message loop failed
    kErrorMainWindow = 0x20000001UL,       // the main window cannot be created
    kErrorOtherInstance = 0x20000002UL,    // another instance runs; shown as nothing
    kErrorWindowsVersion = 0x20000003UL,   // unsupported Windows version
    kErrorAreaOutOfRange = 0x20000100UL,   // an area coordinate outside the sensor's range
};

// A missing collaborator or device is reported as "not enough memory".
const unsigned long kErrorMissingCollaborator = 14UL;  // ERROR_OUTOFMEMORY

#endif
