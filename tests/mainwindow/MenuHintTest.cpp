#include "mainwindow/MenuHint.h"

#include "framework/LanguageResource.h"
#include "resources/MenuIds.h"

#include <gtest/gtest.h>

TEST(MenuHint, EachCommandShowsItsTextAndRangesShareOneFormattedText) {
    ASSERT_GE(LanguageResource().Enumerate(GetModuleHandleA(NULL)), 1);
    ASSERT_NE(static_cast<HMODULE>(NULL), LanguageResource().Select(ID_LANGUAGE_FIRST));
    const struct {
        UINT id;
        const char* text;
    } cases[] = {
        {0x8100, "Open COM1 and start communication."},
        {0x8102, "Open COM3 and start communication."},
        {0x81FF, "Open COM256 and start communication."},
        // Every one of the seven areas, not only the first four.
        {32814, "Select Area1."},
        {32817, "Select Area4."},
        {32818, "Select Area5."},
        {32820, "Select Area7."},
        {32772, "Open measuring data."},
        {32804, "Close the COM port and stop communication."},
        {0x8200, "Change indication language to English."},
        {0x82FF, ""},  // no language has that id
        {32821, ""},   // a key without a handler has no hint
    };
    for (const auto& c : cases) EXPECT_EQ(c.text, MenuHint::Text(c.id)) << c.id;
}
