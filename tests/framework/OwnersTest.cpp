#include "framework/GdiObject.h"
#include "framework/OwnedHandle.h"
#include "framework/WindowDc.h"

#include <gtest/gtest.h>

namespace {

bool IsOpen(HANDLE h) {
    DWORD flags = 0;
    return GetHandleInformation(h, &flags) != 0;
}

}  // namespace

TEST(OwnedHandle_Life, ClosesOnceAndKeepsTheCallersLastError) {
    HANDLE event = CreateEventA(NULL, TRUE, FALSE, NULL);
    ASSERT_TRUE(IsOpen(event));
    {
        OwnedHandle owner(event);
        SetLastError(ERROR_FILE_NOT_FOUND);
        owner.Close();
        EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());
        EXPECT_FALSE(owner.Valid());
        owner.Close();  // a second close does nothing
    }
    EXPECT_FALSE(IsOpen(event));
}

TEST(OwnedHandle_Life, InvalidHandleValueCountsAsNoHandle) {
    HANDLE file = CreateFileA("Z:\\no\\such\\folder\\file", GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    OwnedHandle owner(file);
    EXPECT_FALSE(owner.Valid());
}

TEST(OwnedHandle_Life, MovedAndReleasedHandlesStayOpen) {
    OwnedHandle first(CreateEventA(NULL, TRUE, FALSE, NULL));
    HANDLE event = first.Get();
    OwnedHandle second(std::move(first));
    EXPECT_FALSE(first.Valid());
    HANDLE taken = second.Release();
    EXPECT_EQ(event, taken);
    EXPECT_TRUE(IsOpen(taken));
    OwnedHandle again(taken);
}

TEST(GdiObject_Life, DeletesItsObjectAndReplacesOnReset) {
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    {
        OwnedBrush owner(brush);
        EXPECT_EQ(OBJ_BRUSH, GetObjectType(owner.Get()));
        owner.Reset(CreateSolidBrush(RGB(4, 5, 6)));
        EXPECT_EQ(0u, GetObjectType(brush));
    }
}

TEST(MemoryDc_Life, GivesTheSelectedBitmapBackSoItCanBeDeleted) {
    WindowDc screen(NULL);
    OwnedBitmap bitmap(CreateCompatibleBitmap(screen, 8, 8));
    {
        MemoryDc dc(screen);
        ASSERT_TRUE(dc.Valid());
        SelectObject(dc, bitmap);
        {
            OwnedPen pen(CreatePen(PS_SOLID, 1, RGB(255, 0, 0)));
            SelectScope use(dc, pen);
            EXPECT_EQ(pen.Get(), GetCurrentObject(dc, OBJ_PEN));
        }
        EXPECT_NE(bitmap.Get(), (HBITMAP)NULL);
    }
    // Deselected by the context's end: the bitmap can go into a new context.
    MemoryDc other(screen);
    EXPECT_NE((HGDIOBJ)NULL, SelectObject(other, bitmap));
}
