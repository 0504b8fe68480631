#include "framework/GridCells.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Three columns of 50, 30 and 20 pixels; rows hold "row,col".
GridCells Table(int rows) {
    GridCells cells;
    cells.InsertColumn(-1, 50);
    cells.InsertColumn(-1, 30);
    cells.InsertColumn(-1, 20);
    for (int r = 0; r < rows; ++r) {
        cells.InsertRow(-1);
        for (int c = 0; c < 3; ++c) cells.SetText(r, c, (std::to_string(r) + "," + std::to_string(c)).c_str());
    }
    return cells;
}

std::string Text(const GridCells& cells, int row, int col) {
    return cells.TextOf(row, col);
}

}  // namespace

TEST(GridCells_Shape, InsertOutsideTheTableAppendsAndInsideShifts) {
    GridCells cells = Table(2);
    EXPECT_EQ(cells.InsertColumn(1, 10), 1);
    EXPECT_EQ(Text(cells, 1, 1), "");
    EXPECT_EQ(Text(cells, 1, 2), "1,1");
    EXPECT_EQ(cells.InsertColumn(99, 10), 4);
    EXPECT_EQ(cells.InsertRow(0), 0);
    EXPECT_EQ(Text(cells, 1, 0), "0,0");
    EXPECT_EQ(cells.InsertRow(-5), 3);
    EXPECT_EQ(cells.GetRowCount(), 4);
    EXPECT_EQ(cells.TotalWidth(), 50 + 10 + 30 + 20 + 10);
    EXPECT_EQ(cells.GetFlag(3, 4), 0);  // new cells are normal
}

TEST(GridCells_Shape, DeleteOutsideTheTableTakesTheLastAndAnEmptyTableNothing) {
    GridCells cells = Table(3);
    EXPECT_EQ(cells.DeleteRow(-1), 1);
    EXPECT_EQ(cells.GetRowCount(), 2);
    EXPECT_EQ(Text(cells, 1, 0), "1,0");
    EXPECT_EQ(cells.DeleteRow(0), 1);
    EXPECT_EQ(Text(cells, 0, 0), "1,0");
    EXPECT_EQ(cells.DeleteColumn(7), 1);
    EXPECT_EQ(cells.TotalWidth(), 80);
    EXPECT_EQ(cells.DeleteColumn(0), 1);
    EXPECT_EQ(Text(cells, 0, 0), "1,1");
    EXPECT_EQ(cells.DeleteRow(-1), 1);
    EXPECT_EQ(cells.DeleteRow(-1), 0);
    EXPECT_EQ(cells.DeleteRow(0), 0);
    EXPECT_EQ(cells.DeleteColumn(0), 1);
    EXPECT_EQ(cells.DeleteColumn(0), 0);
}

TEST(GridCells_Text, CopyIsCutToTheBufferAndOutsideTheTableEmpty) {
    GridCells cells = Table(2);
    cells.SetText(1, 2, "abcdef");
    struct Case {
        int row, col, size;
        const char* expected;
    } cases[] = {
        {1, 2, 7, "abcdef"}, {1, 2, 6, "abcde"}, {1, 2, 1, ""},  {0, 0, 16, "0,0"},
        {2, 0, 16, ""},      {-1, 0, 16, ""},    {0, 3, 16, ""}, {0, -1, 16, ""},
    };
    for (const Case& c : cases) {
        char buffer[16];
        memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(cells.GetText(c.row, c.col, buffer, c.size), buffer);
        EXPECT_STREQ(buffer, c.expected) << c.row << "," << c.col << " size " << c.size;
    }
    char untouched[2] = {'x', 'y'};
    cells.GetText(0, 0, untouched, 0);
    EXPECT_EQ(untouched[0], 'x');
    EXPECT_EQ(cells.GetText(0, 0, NULL, 10), (char*)NULL);

    cells.SetText(5, 0, "lost");  // outside: nothing
    cells.SetText(0, 0, NULL);
    EXPECT_EQ(Text(cells, 0, 0), "");
}

TEST(GridCells_Geometry, PositionsFindTheirColumnAndRow) {
    GridCells cells = Table(3);  // columns 0..49, 50..79, 80..99; rows of 16
    const int columns[][2] = {{-1, -1}, {0, 0}, {49, 0}, {50, 1}, {79, 1}, {80, 2}, {99, 2}, {100, -1}};
    for (const auto& c : columns) EXPECT_EQ(cells.ColumnAt(c[0]), c[1]) << "x " << c[0];
    const int rows[][2] = {{-1, -1}, {-15, -1}, {0, 0}, {15, 0}, {16, 1}, {47, 2}, {48, -1}};
    for (const auto& r : rows) EXPECT_EQ(cells.RowAt(r[0]), r[1]) << "y " << r[0];
    EXPECT_EQ(cells.ColumnLeft(2), 80);
    EXPECT_EQ(cells.ColumnLeft(9), 100);
}

TEST(GridCells_Geometry, OnlyTheRowsInABandArePainted) {
    GridCells ten = Table(10);  // 160 pixels
    struct Case {
        int top, bottom;
        bool any;
        int first, last;
    } cases[] = {
        {0, 16, true, 0, 0},   {8, 40, true, 0, 2},     {15, 17, true, 0, 1}, {-50, 5, true, 0, 0},
        {150, 999, true, 9, 9}, {160, 200, false, 0, 0}, {20, 20, false, 0, 0}, {-20, 0, false, 0, 0},
    };
    for (const Case& c : cases) {
        int first = -7, last = -7;
        EXPECT_EQ(ten.RowsMeeting(c.top, c.bottom, &first, &last), c.any) << c.top << ".." << c.bottom;
        if (!c.any) continue;
        EXPECT_EQ(first, c.first) << c.top;
        EXPECT_EQ(last, c.last) << c.top;
    }
    GridCells tall = Table(0);
    for (int r = 0; r < 100000; ++r) tall.InsertRow(-1);
    int first = 0, last = 0;
    ASSERT_TRUE(tall.RowsMeeting(800000, 800300, &first, &last));
    EXPECT_EQ(first, 50000);
    EXPECT_EQ(last, 50018);
}
