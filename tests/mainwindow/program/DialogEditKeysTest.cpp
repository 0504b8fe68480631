#include "mainwindow/program/Application.h"

#include <gtest/gtest.h>

// The message loop leaves editing keys to an edit of a modeless dialog.
TEST(DialogEditKeys, OnlyEditsOfDialogsKeepTheirKeys) {
    LoadLibraryA("riched20.dll");
    HWND main = CreateWindowA("STATIC", "main", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, NULL, NULL, NULL, NULL);
    HWND dialog = CreateWindowA("#32770", "dialog", WS_POPUP, 0, 0, 100, 100, main, NULL, NULL, NULL);
    ASSERT_NE(static_cast<HWND>(NULL), dialog);
    // A control of the dialog that opens an edit of its own, as the grid does.
    HWND grid = CreateWindowA("STATIC", "", WS_CHILD, 0, 0, 50, 20, dialog, NULL, NULL, NULL);
    const struct {
        const char* cls;
        HWND parent;
        BOOL keeps;
    } cases[] = {
        {"Edit", dialog, TRUE},   {"EDIT", dialog, TRUE},    {"RichEdit20A", dialog, TRUE},
        {"Button", dialog, FALSE}, {"Edit", main, FALSE},     {"Edit", grid, TRUE},
    };
    for (const auto& c : cases) {
        HWND control = CreateWindowA(c.cls, "", WS_CHILD, 0, 0, 50, 20, c.parent, NULL, NULL, NULL);
        ASSERT_NE(static_cast<HWND>(NULL), control) << c.cls;
        EXPECT_EQ(c.keeps, Application::IsDialogEdit(control, main)) << c.cls;
        DestroyWindow(control);
    }
    EXPECT_FALSE(Application::IsDialogEdit(NULL, main));
    EXPECT_FALSE(Application::IsDialogEdit(dialog, main));
    DestroyWindow(dialog);
    DestroyWindow(main);
}
