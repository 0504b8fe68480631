#ifndef DIALOGS_HEADERFOOTER_H
#define DIALOGS_HEADERFOOTER_H

#include <windows.h>

#include <string>

// The printed page's header and footer: a text and a font for each.
struct HeaderFooter {
    std::string headerText;
    std::string footerText;
    LOGFONTA headerFont = {};
    LOGFONTA footerFont = {};
};

#endif
