#include "framework/FileDialog.h"

#include "tests/framework/ModalCloser.h"

#include <gtest/gtest.h>

TEST(FileDialog_Block, StartsZeroedWithTheOldSize) {
    FileDialog dialog;
    OPENFILENAMEA* ofn = dialog.GetOfn();
    EXPECT_EQ(ofn->lStructSize, 76u);
    EXPECT_EQ(ofn->lpstrFile, nullptr);
    EXPECT_EQ(ofn->Flags, 0u);
}

TEST(FileDialog_Open, CancelledDialogReturnsZero) {
    FileDialog dialog;
    char file[MAX_PATH] = "";
    OPENFILENAMEA* ofn = dialog.GetOfn();
    ofn->lpstrFilter = "Area Files (*.ara)\0*.ara\0";
    ofn->lpstrFile = file;
    ofn->nMaxFile = sizeof file;
    ofn->lpstrTitle = "Open area";
    ofn->Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    ModalCloser closer(IDCANCEL);
    EXPECT_FALSE(dialog.GetOpenFileName());
    EXPECT_EQ(closer.caption, "Open area");
    EXPECT_EQ(CommDlgExtendedError(), 0u);  // cancelled, not failed
}
