#ifndef DIALOGS_HEADERFOOTERSTORE_H
#define DIALOGS_HEADERFOOTERSTORE_H

#include "dialogs/HeaderFooter.h"

// Where the header and footer dialog finds the printed page's header and
// footer and stores what the user changed. The print view implements it:
// its preview paints them on the view's render thread, so a store holds the
// lock that painting holds and no text or font is read half written.
// User-interface thread only.
class HeaderFooterStore {
public:
    virtual ~HeaderFooterStore() {}
    virtual HeaderFooter GetHeaderFooter() = 0;
    virtual void SetHeaderFooter(const HeaderFooter& headerFooter) = 0;
};

#endif
