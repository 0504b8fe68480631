#ifndef FRAMEWORK_CLASSPOINTER_H
#define FRAMEWORK_CLASSPOINTER_H

#include <windows.h>

// The global atom "CLASSPOINTER" under which child windows and dialogs keep
// their object as a window property. Added once, on first use, and kept for
// the life of the process: deleting and finding it again at every unbinding
// would race with windows bound on the progress dialog's thread.
ATOM ClassPointerAtom();

#endif
