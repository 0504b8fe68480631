#include "framework/ClassPointer.h"

ATOM ClassPointerAtom() {
    // A function-local static is initialised once even when two threads
    // bind their first windows at the same time.
    static const ATOM atom = GlobalAddAtomA("CLASSPOINTER");
    return atom;
}
