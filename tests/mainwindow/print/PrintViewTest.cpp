#include "mainwindow/print/PrintView.h"

#include "dialogs/HeaderFooterDlg.h"
#include "framework/CriticalLock.h"
#include "framework/GdiObject.h"
#include "framework/Geometry.h"
#include "framework/OwnedHandle.h"
#include "framework/WindowDc.h"
#include "resources/DialogIds.h"
#include "resources/ToolBandIds.h"
#include "tests/dialogs/DialogScript.h"
#include "tests/framework/TestSettings.h"
#include "tests/mainwindow/AreaPeaks.h"
#include "tests/mainwindow/print/PrintRig.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const DWORD kWaitMs = 10000;
const COLORREF kBlack = 0x000000;
const COLORREF kWhite = 0xFFFFFF;

bool Dark(COLORREF c) {
    return GetRValue(c) < 0x80 && GetGValue(c) < 0x80 && GetBValue(c) < 0x80;
}

class PrintViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_rig.Open());
        ASSERT_EQ(1, m_rig.PrinterCount()) << "scripts/test adds the one PDF printer";
        ASSERT_TRUE(m_rig.LoadArea({{-2000, 500}, {2000, 500}, {3000, 2500}, {-1000, 3000}}));
    }
    COLORREF Pixel(int x, int y) { return GetPixel(m_rig.view.GetCompositeDC(), x, y); }
    std::string TempPath(const char* name) {
        char folder[MAX_PATH];
        GetTempPathA(sizeof folder, folder);
        char path[MAX_PATH];
        snprintf(path, sizeof path, "%s%s-%lu.emf", folder, name, GetCurrentProcessId());
        return path;
    }

    TestSettings m_file;
    PrintRig m_rig;
};

std::vector<BYTE> ReadFile(const std::string& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

template <class T>
T At(const std::vector<BYTE>& bytes, size_t offset) {
    T value = T();
    if (offset + sizeof value <= bytes.size()) memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

struct Preview {
    PrintView* print;
    HANDLE done;
};

DWORD WINAPI PaintFromAnotherThread(LPVOID param) {
    Preview* p = static_cast<Preview*>(param);
    p->print->PaintPreview(0);
    SetEvent(p->done);
    return 0;
}

}  // namespace

// The only printer is item 0 of the band: it counts as chosen.
TEST_F(PrintViewTest, TheFirstPrinterIsAChoice) {
    m_rig.SelectPrinter(0);
    std::string name;
    RECT* margins = NULL;
    ASSERT_EQ(1, m_rig.print.GetSelectedPrinter(&name, &margins));
    EXPECT_EQ("PDF", name);
    EXPECT_EQ(m_rig.Margins(0), margins);
    m_rig.SelectPrinter(-1);
    EXPECT_EQ(0, m_rig.print.GetSelectedPrinter(&name, &margins));
}

TEST_F(PrintViewTest, WithoutAChosenPrinterNothingIsPrintedOrWritten) {
    m_rig.SelectPrinter(-1);
    const std::string path = TempPath("none");
    DeleteFileA(path.c_str());
    EXPECT_EQ(0, m_rig.print.Print());
    EXPECT_EQ(0, m_rig.print.SaveAsEnhMetaFile(path.c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str()));
    EXPECT_EQ(0, m_rig.print.PageSetup(m_rig.frame.GetHwnd()));
    EXPECT_EQ(0, m_rig.print.DocumentProperties(m_rig.frame.GetHwnd()));
    EXPECT_EQ(0, m_rig.print.PaintPreview(PrintView::kRefreshPage));
}

TEST_F(PrintViewTest, PrintingReportsWhetherThePageWasSpooled) {
    m_rig.SelectPrinter(0);
    m_rig.print.SetHeaderText("Spooled page");
    EXPECT_EQ(1, m_rig.print.Print());
    // Margins of 105 mm a side leave nothing of the A4 sheet: no job.
    SetRect(m_rig.Margins(0), 10500, 2500, 10500, 2500);
    EXPECT_EQ(0, m_rig.print.Print());
}

// 800 x 600 client, A4 2479 x 3508: the page is 584 high (8 pixels off the top
// and bottom) and MulDiv(584, 2479, 3508) = 413 wide, from (800 - 413) / 2 = 193.
TEST_F(PrintViewTest, PreviewPageIsCentredWithFrameAndShadow) {
    m_rig.SelectPrinter(0);
    ASSERT_TRUE(m_rig.EnterPreview());
    const COLORREF workspace = GetSysColor(COLOR_APPWORKSPACE);
    EXPECT_EQ(workspace, Pixel(100, 300));
    EXPECT_EQ(workspace, Pixel(400, 3)) << "above the page";
    EXPECT_EQ(kBlack, Pixel(192, 300)) << "frame left of the page";
    EXPECT_EQ(kWhite, Pixel(194, 300)) << "page";
    EXPECT_EQ(kBlack, Pixel(400, 7)) << "frame above the page";
    EXPECT_EQ(kBlack, Pixel(608, 300)) << "shadow right of the page";
    EXPECT_EQ(workspace, Pixel(611, 300));
    EXPECT_EQ(kBlack, Pixel(400, 594)) << "shadow below the page";
    EXPECT_EQ(workspace, Pixel(190, 595)) << "the shadow is offset";
    // 25 mm margins at 413 / 2479 of a 300-dpi pixel: 49 pixels in.
    EXPECT_EQ(kWhite, Pixel(193 + 40, 300)) << "margin";
    // The content is framed inside the printable area, at its sides when it
    // is wider than the area (100 % of 800 pixels is more than the page).
    EXPECT_EQ(kBlack, Pixel(193 + 49, 300));
    // 606 - 413 x 295.3 / 2479 = 556.8, cut to 556; the frame's last column is 555.
    EXPECT_EQ(kBlack, Pixel(555, 300));
}

TEST_F(PrintViewTest, PreviewHeaderSitsAboveTheContentAndAnEmptyOneDrawsNothing) {
    m_rig.SelectPrinter(0);
    m_rig.SetZoom(25);
    ASSERT_TRUE(m_rig.EnterPreview());
    // 25 %: 800 x 600 screen pixels are 625 x 469 printer pixels, on the
    // preview page 104 x 78, centred: from 300 - 39 = 261 to 339.
    int top = -1;
    for (int y = 200; y < 300 && top < 0; ++y) {
        if (Pixel(400, y) == kBlack) top = y;
    }
    ASSERT_NE(-1, top);
    EXPECT_NEAR(261, top, 2);
    auto darkAbove = [&]() {
        int dark = 0;
        for (int y = 8; y < top - 1; ++y) {
            for (int x = 194; x < 606; ++x) dark += Dark(Pixel(x, y)) ? 1 : 0;
        }
        return dark;
    };
    EXPECT_EQ(0, darkAbove()) << "no header text";
    m_rig.print.GetHeaderFont()->lfHeight = -40;  // 20 pixels on the preview page
    m_rig.print.SetHeaderText("HEADER LINE");
    ASSERT_EQ(1, m_rig.print.PaintPreview(0));
    EXPECT_GT(darkAbove(), 10) << "the header's letters";
    int lowest = 0;
    for (int y = 8; y < top - 1; ++y) {
        for (int x = 194; x < 606; ++x) lowest = Dark(Pixel(x, y)) ? y : lowest;
    }
    EXPECT_GT(lowest, top - 12) << "bottom-aligned on the content";
}

TEST_F(PrintViewTest, PreviewWaitsForTheViewLock) {
    m_rig.SelectPrinter(0);
    ASSERT_TRUE(m_rig.EnterPreview());
    Preview preview = {&m_rig.print, CreateEventA(NULL, TRUE, FALSE, NULL)};
    HANDLE thread;
    {
        CriticalLock::Hold hold(m_rig.view.ViewLock());
        thread = CreateThread(NULL, 0, PaintFromAnotherThread, &preview, 0, NULL);
        ASSERT_NE(static_cast<HANDLE>(NULL), thread);
        EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(preview.done, 300))
            << "painted while the layers were held";
    }
    EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), WaitForSingleObject(preview.done, kWaitMs));
    WaitForSingleObject(thread, kWaitMs);
    CloseHandle(thread);
    CloseHandle(preview.done);
}

// Printing and the metafile draw the area's regions and the scan's polygon
// on the user-interface thread under the view lock: the render thread
// rebuilds them only under it too.
TEST_F(PrintViewTest, RebuildsOfWhatIsPrintedWaitForTheViewLock) {
    {
        CriticalLock::Hold hold(m_rig.view.ViewLock());
        ResetEvent(m_rig.areas.rebuilt.Get());
        ResetEvent(m_rig.shape.rebuilt.Get());
        m_rig.view.Redraw(ScanView::kRedrawAreas | ScanView::kRedrawRealtime);
        const HANDLE rebuilt[] = {m_rig.areas.rebuilt.Get(), m_rig.shape.rebuilt.Get()};
        EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForMultipleObjects(2, rebuilt, FALSE, 300))
            << "rebuilt while the view was being drawn";
    }
    ASSERT_TRUE(m_rig.view.Settle());
    EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), WaitForSingleObject(m_rig.areas.rebuilt.Get(), 0));
    EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), WaitForSingleObject(m_rig.shape.rebuilt.Get(), 0));
}

TEST_F(PrintViewTest, MetafileIsTheViewWithItsFrameAndDescription) {
    m_rig.SelectPrinter(0);
    const std::string path = TempPath("view");
    ASSERT_EQ(1, m_rig.print.SaveAsEnhMetaFile(path.c_str()));
    const std::vector<BYTE> file = ReadFile(path);
    DeleteFileA(path.c_str());
    ASSERT_GE(file.size(), sizeof(ENHMETAHEADER));
    const ENHMETAHEADER header = At<ENHMETAHEADER>(file, 0);
    EXPECT_EQ(static_cast<DWORD>(EMR_HEADER), header.iType);
    EXPECT_EQ(static_cast<DWORD>(ENHMETA_SIGNATURE), header.dSignature);
    EXPECT_EQ(file.size(), header.nBytes);
    // The client one pixel larger at 96 dpi: 801 x 2540 / 96 = 21193.1, 601 x 2540 / 96 = 15901.0.
    EXPECT_EQ(0, header.rclFrame.left);
    EXPECT_EQ(21193, header.rclFrame.right);
    EXPECT_EQ(15901, header.rclFrame.bottom);
    const wchar_t kDescription[] = L"ZOR Configurator\0ScreenShot\0";
    ASSERT_EQ(sizeof kDescription / sizeof(wchar_t), header.nDescription);
    EXPECT_EQ(0, memcmp(file.data() + header.offDescription, kDescription, sizeof kDescription));

    // The records: as many as the header says, the last one EOF, and the
    // view's drawing among them (the area's polygon, the grid's lines).
    size_t offset = 0;
    DWORD records = 0, last = 0;
    int polygons = 0, lines = 0;
    while (offset + 8 <= file.size()) {
        const DWORD type = At<DWORD>(file, offset), size = At<DWORD>(file, offset + 4);
        ASSERT_GE(size, 8u);
        ++records;
        last = type;
        if (type == EMR_POLYGON || type == EMR_POLYGON16 || type == EMR_POLYPOLYGON || type == EMR_POLYPOLYGON16 ||
            type == EMR_PAINTRGN || type == EMR_FILLRGN) {
            ++polygons;
        }
        if (type == EMR_LINETO || type == EMR_POLYLINE || type == EMR_POLYLINE16) ++lines;
        offset += size;
    }
    EXPECT_EQ(file.size(), offset);
    EXPECT_EQ(header.nRecords, records);
    EXPECT_EQ(static_cast<DWORD>(EMR_EOF), last);
    EXPECT_GT(polygons, 0);
    EXPECT_GT(lines, 10);
}

TEST_F(PrintViewTest, AMetafileThatCannotBeCreatedIsAFailure) {
    m_rig.SelectPrinter(0);
    EXPECT_EQ(0, m_rig.print.SaveAsEnhMetaFile("Z:\\no\\such\\folder\\view.emf"));
}

TEST_F(PrintViewTest, FitZoomIsPostedToTheBandAndStored) {
    m_rig.SelectPrinter(0);
    m_rig.print.ZoomToFit();
    // 800 x 600 content into 1889 x 2918 printable pixels: the width is the
    // tighter side, 1889 x 96 x 100 / (800 x 300) = 75.6.
    EXPECT_EQ(76, m_rig.print.GetZoom());
    MSG msg;
    HWND zoom = m_rig.rebar.GetItemWindow(IDC_PRINT_ZOOM);
    ASSERT_TRUE(PeekMessageA(&msg, GetParent(zoom), WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(MAKEWPARAM(IDC_PRINT_ZOOM, 3), msg.wParam);
    EXPECT_EQ(reinterpret_cast<LPARAM>(zoom), msg.lParam);
}

TEST(PrintViewText, ATallBottomAlignedTextShowsItsLastLinesInsideItsBox) {
    MemoryDc dc(NULL);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = 200;
    info.bmiHeader.biHeight = -200;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = NULL;
    OwnedBitmap bitmap(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, NULL, 0));
    SelectScope selected(dc, bitmap);
    PatBlt(dc, 0, 0, 200, 200, WHITENESS);
    PrintView print;
    LOGFONTA font = *print.GetHeaderFont();
    font.lfHeight = -20;
    RECT empty = {0, 0, 200, 100};
    EXPECT_EQ(0, print.DrawTextScaled(dc, "", &empty, DT_CENTER | DT_BOTTOM, &font, 1, 1));
    EXPECT_EQ(0, print.DrawTextScaled(dc, NULL, &empty, DT_CENTER | DT_BOTTOM, &font, 1, 1));

    // Three lines of 20-pixel type in a box 30 pixels high.
    RECT box = {0, 100, 200, 130};
    const int height = print.DrawTextScaled(dc, "ONE\r\nTWO\r\nTHREE", &box, DT_CENTER | DT_BOTTOM, &font, 1, 1);
    EXPECT_GT(height, 50);
    EXPECT_EQ(130 - height, box.top) << "the text stands on the box's bottom";
    int outside = 0, inside = 0;
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 200; ++x) {
            const bool dark = Dark(GetPixel(dc, x, y));
            if (dark && (y < 100 || y >= 130)) ++outside;
            if (dark && y >= 100 && y < 130) ++inside;
        }
    }
    EXPECT_EQ(0, outside) << "cut at the box";
    EXPECT_GT(inside, 20);
    // A font height scaled by 300 / 96 from the default's.
    RECT line = {0, 0, 200, 200};
    EXPECT_EQ(63, print.DrawTextScaled(dc, "x", &line, DT_SINGLELINE, &font, 300, 96)) << "20 x 300 / 96 = 62.5";
}

// Panned so far right that the viewport origin carries part of the shift
// (as it does at once on a desktop wider than 1280 pixels): the metafile and
// the preview still show the sensor and the vertex where the screen does.
TEST_F(PrintViewTest, PreviewAndMetafilePlaceTheViewAsTheScreenShowsItWithAShiftedOrigin) {
    m_rig.SelectPrinter(0);
    m_rig.view.SetMapping(128, 0, PrintRig::kClientWidth, PrintRig::kClientHeight);
    m_rig.view.Redraw(ScanView::kRedrawLayout | ScanView::kRedrawAreas);
    ASSERT_TRUE(m_rig.view.Settle());
    ASSERT_NE(0, m_rig.view.Mapping().ViewportOrigin().x);
    const RECT client = {0, 0, PrintRig::kClientWidth, PrintRig::kClientHeight};
    const AreaPeaks screen = AreaPeaks::Find(m_rig.view.GetCompositeDC(), client);
    ASSERT_GT(screen.sensorX, 0.05) << "the sensor is in view";

    // The metafile played back at its frame's size: the client's pixels.
    const std::string path = TempPath("placed");
    ASSERT_EQ(1, m_rig.print.SaveAsEnhMetaFile(path.c_str()));
    HENHMETAFILE metafile = GetEnhMetaFileA(path.c_str());
    ASSERT_NE(static_cast<HENHMETAFILE>(NULL), metafile);
    MemoryDc played(NULL);
    WindowDc screenDc(NULL);
    OwnedBitmap bitmap(CreateCompatibleBitmap(screenDc, client.right + 1, client.bottom + 1));
    SelectScope selected(played, bitmap);
    PatBlt(played, 0, 0, client.right + 1, client.bottom + 1, WHITENESS);
    const RECT frame = {0, 0, client.right + 1, client.bottom + 1};
    PlayEnhMetaFile(played, metafile, &frame);
    DeleteEnhMetaFile(metafile);
    DeleteFileA(path.c_str());

    // The preview at 75 %, where the content fits the printable area.
    m_rig.SetZoom(75);
    ASSERT_TRUE(m_rig.EnterPreview());
    int caps[PrinterHelper::kCapCount];
    RECT printable;
    ASSERT_EQ(1, m_rig.print.GetPageMetrics(&printable, caps));
    SIZE dpi;
    m_rig.print.GetScreenDpi(&dpi);
    const RECT page = PrintLayout::FitPage(client.right, client.bottom, caps[PrintLayout::kPageWidth],
                                           caps[PrintLayout::kPageHeight]);
    RECT content = PrintLayout::PrintableOnPage(page, *m_rig.Margins(0), caps);
    m_rig.view.DrawTo(NULL, &content,
                      PrintLayout::PreviewScale(caps[PrintLayout::kDpiX], 75, dpi.cx, RectWidth(&page),
                                                caps[PrintLayout::kPageWidth]),
                      PrintLayout::PreviewScale(caps[PrintLayout::kDpiY], 75, dpi.cy, RectHeight(&page),
                                                caps[PrintLayout::kPageHeight]));

    const struct {
        const char* name;
        AreaPeaks peaks;
    } drawn[] = {
        {"metafile", AreaPeaks::Find(played, client)},
        {"preview", AreaPeaks::Find(m_rig.view.GetCompositeDC(), content)},
    };
    for (const auto& d : drawn) {
        EXPECT_NEAR(screen.sensorX, d.peaks.sensorX, 0.01) << d.name;
        EXPECT_NEAR(screen.sensorY, d.peaks.sensorY, 0.01) << d.name;
        EXPECT_NEAR(screen.vertexX, d.peaks.vertexX, 0.01) << d.name;
        EXPECT_NEAR(screen.vertexY, d.peaks.vertexY, 0.01) << d.name;
    }
}

namespace {

// Holds the print view's lock on a thread of its own, as the render thread
// does while it paints the preview; once the font chooser has been confirmed
// and has gone, notes for 300 ms whether the footer's height changes, then
// lets go.
struct PaintingThread {
    PrintView* print;
    CriticalLock* lock;
    HANDLE held;
    volatile HWND chooser;
    LONG before, whileHeld;

    static DWORD WINAPI Run(LPVOID param) {
        PaintingThread* self = static_cast<PaintingThread*>(param);
        CriticalLock::Hold hold(*self->lock);
        SetEvent(self->held);
        auto gone = [self] { return self->chooser != NULL && !IsWindow(self->chooser); };
        auto changed = [self] { return self->print->GetFooterFont()->lfHeight != self->before; };
        const DWORD start = GetTickCount();
        while (!gone() && GetTickCount() - start < 10000) Sleep(10);
        const DWORD gonePoint = GetTickCount();
        while (!changed() && GetTickCount() - gonePoint < 300) Sleep(10);
        self->whileHeld = self->print->GetFooterFont()->lfHeight;
        return 0;
    }
};

}  // namespace

// The render thread paints the preview with the fonts under the view's lock:
// a font confirmed in the header and footer dialog is stored only under
// that lock.
TEST(HeaderFooterDlgPreview, AConfirmedFontWaitsForThePreviewsLock) {
    TestSettings file;
    PrintView print;
    ScanView view;
    print.SetScanView(&view);
    HeaderFooterDlg dialog;
    dialog.SetPrintView(&print);
    OwnedHandle held(CreateEventA(NULL, TRUE, FALSE, NULL));
    PaintingThread painter = {&print, &view.ViewLock(), held.Get(), NULL, print.GetFooterFont()->lfHeight, 0};
    OwnedHandle thread(CreateThread(NULL, 0, &PaintingThread::Run, &painter, 0, NULL));
    ASSERT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), WaitForSingleObject(held.Get(), 10000));
    {
        const char kCaption[] = "Header and Footer";
        DialogScript script({{kCaption, [](HWND shown) { DialogScript::Press(shown, IDC_FOOTER_FONT); }},
                             {"Font", [&](HWND font) {
                                  painter.chooser = font;
                                  DialogScript::ConfirmFontSize20(font);
                              }},
                             {kCaption, [](HWND shown) { PostMessageA(shown, WM_CLOSE, 0, 0); }}});
        ASSERT_NE(static_cast<HWND>(NULL), dialog.Create(GetModuleHandleA(NULL), NULL));
    }
    WaitForSingleObject(thread.Get(), 10000);
    EXPECT_EQ(painter.before, painter.whileHeld) << "stored while the preview held its lock";
    EXPECT_EQ(-27, print.GetFooterFont()->lfHeight);
    print.SetScanView(NULL);
}
