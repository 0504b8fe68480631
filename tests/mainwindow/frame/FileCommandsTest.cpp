#include "mainwindow/frame/ProgramFile.h"
#include "resources/MenuIds.h"
#include "resources/ToolBandIds.h"
#include "tests/TestFiles.h"
#include "tests/framework/ModalScript.h"
#include "tests/mainwindow/frame/CommandBench.h"

#include <gtest/gtest.h>

#include <string>

namespace {

typedef ModalScript::Step Step;

const WORD kPrintBand = 2105;

// Area 3 gets a vertex and the ratio shape: the set differs from a new one.
void EditAreas(AreaSet* areas) {
    areas->SelectArea(2);
    areas->SetPoint(1, Packed(-1234, 2500));
    areas->SetPartitionShape(2);
    areas->SelectArea(0);
}

// Two scans whose steps count up from a start value.
void FillScans(MeasuringData* data) {
    for (WORD start : {100, 2000}) {
        ScanData scan;
        for (WORD step = 0; step < ScanData::kStepCount; ++step) scan.SetStep(step, start + step);
        data->Append(scan);
    }
}

class FileCommands : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(static_cast<HWND>(NULL), bench.Start()); }

    CommandBench bench;
    TestFolder folder;
};

}  // namespace

// New, edit, save as, new, open: the same areas, through the program's own
// file dialogs with the names typed in. The dialogs leave the current folder
// where they like; files the program ships still resolve beside it.
TEST_F(FileCommands, AreaFileRoundTripThroughTheRealDialogs) {
    bench.application.choices.clear();
    EditAreas(&bench.areas);
    const std::string edited = RawAreas(bench.areas);
    const std::string path = folder.Path("hall.ara");
    {
        ModalScript script({{IDOK, path}});
        bench.Command(ID_FILE_SAVE_AREA_AS);
        ASSERT_EQ(1u, script.seen.size());
    }
    EXPECT_EQ(0u, bench.areas.IsFileModified());
    EXPECT_NE("<missing>", ReadBytes(path));

    bench.Command(ID_FILE_NEW_AREA);  // saved: no question
    EXPECT_NE(edited, RawAreas(bench.areas));
    {
        ModalScript script({{IDOK, path}});
        bench.Command(ID_FILE_OPEN_AREA);
        ASSERT_EQ(1u, script.seen.size());
    }
    EXPECT_EQ(edited, RawAreas(bench.areas));
    EXPECT_EQ(0u, bench.areas.IsFileModified());
    EXPECT_EQ(2, bench.frame.areaRefreshes);  // new and open; a save changes nothing

    std::string sound;
    ASSERT_TRUE(ProgramFile::PathOf("detect1.wav", &sound));
    EXPECT_EQ(ProgramFile::Folder() + "detect1.wav", sound);
}

// Unsaved areas before New: Yes saves under a chosen name, No discards,
// Cancel keeps everything; a cancelled or failed save stops the command.
TEST_F(FileCommands, UnsavedAreasAreAskedForBeforeNew) {
    const std::string saved = folder.Path("saved.ara");
    const std::string missingFolder = folder.Path("gone\\saved.ara");
    const struct {
        const char* name;
        std::vector<Step> answers;
        const char* chosen;  // the save dialog's answer; 0 = not asked
        bool reset;          // the command went on
        bool written;
        size_t boxes;
    } cases[] = {
        {"cancel", {{IDCANCEL, ""}}, 0, false, false, 1},
        {"no", {{IDNO, ""}}, 0, true, false, 1},
        {"yes", {{IDYES, ""}}, "saved", true, true, 1},
        {"yes, dialog cancelled", {{IDYES, ""}}, "", false, false, 1},
        {"yes, save fails", {{IDYES, ""}, {IDOK, ""}}, "missing", false, false, 2},
    };
    for (const auto& c : cases) {
        DeleteFileA(saved.c_str());
        bench.areas.ResetAll();
        EditAreas(&bench.areas);
        const std::string edited = RawAreas(bench.areas);
        bench.application.choices.clear();
        bench.application.dialogs.clear();
        if (c.chosen != 0) {
            std::string chosen = c.chosen;
            bench.application.choices.push_back(chosen == "saved" ? saved : chosen == "missing" ? missingFolder : "");
        }
        ModalScript script(c.answers);
        bench.Command(ID_FILE_NEW_AREA);

        ASSERT_EQ(c.boxes, script.seen.size()) << c.name;
        EXPECT_NE(std::string::npos, script.TextsOf(0).find("There is unsaved area data. Do you save it?")) << c.name;
        if (c.boxes == 2) {
            EXPECT_NE(std::string::npos, script.TextsOf(1).find("Cannot open file.")) << c.name;
        }
        EXPECT_EQ(c.chosen != 0 ? 1u : 0u, bench.application.dialogs.size()) << c.name;
        EXPECT_EQ(c.reset, RawAreas(bench.areas) != edited) << c.name;
        EXPECT_EQ(c.reset ? 0u : 1u, bench.areas.IsFileModified()) << c.name;
        EXPECT_EQ(c.written, ReadBytes(saved) != "<missing>") << c.name;
    }
}

// A failed save keeps the old file whole and the areas marked unsaved: here
// another program holds the file open and will not let it be replaced.
TEST_F(FileCommands, FailedSaveShowsTheErrorAndKeepsTheModifiedFlag) {
    const std::string path = folder.Path("kept.ara");
    ASSERT_TRUE(WriteBytes(path, "old contents"));
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EditAreas(&bench.areas);
    bench.application.choices.push_back(path);
    ModalScript script({{IDOK, ""}});
    bench.Command(ID_FILE_SAVE_AREA_AS);
    CloseHandle(held);

    ASSERT_EQ(1u, script.seen.size());
    EXPECT_NE(std::string::npos, script.TextsOf(0).find("Cannot open file."));
    EXPECT_EQ(1u, bench.areas.IsFileModified());
    EXPECT_EQ("old contents", ReadBytes(path));
}

TEST_F(FileCommands, SaveWithoutADocumentPathAsksForAName) {
    EditAreas(&bench.areas);
    bench.application.choices.push_back(folder.Path("named.ara"));
    bench.Command(ID_FILE_SAVE_AREA);
    EXPECT_EQ(std::vector<std::string>{"save area"}, bench.application.dialogs);
    EXPECT_EQ(0u, bench.areas.IsFileModified());
    EXPECT_NE("<missing>", ReadBytes(folder.Path("named.ara")));
}

TEST_F(FileCommands, OpenAreaOfADamagedFileKeepsTheAreas) {
    EditAreas(&bench.areas);
    bench.areas.SetFileModified(0);
    const std::string before = RawAreas(bench.areas);
    ASSERT_TRUE(WriteBytes(folder.Path("bad.ara"), "[ZOR Area Data File]\r\nnonsense\r\n"));
    bench.application.choices.push_back(folder.Path("bad.ara"));
    ModalScript script({{IDOK, ""}});
    bench.Command(ID_FILE_OPEN_AREA);
    ASSERT_EQ(1u, script.seen.size());
    EXPECT_NE(std::string::npos, script.TextsOf(0).find("Cannot open file."));
    EXPECT_EQ(before, RawAreas(bench.areas));
    EXPECT_EQ(0, bench.frame.areaRefreshes);
}

// Opening measuring data while the record layer is hidden asks to show it.
TEST_F(FileCommands, OpenMeasuringDataOffersToShowTheRecording) {
    MeasuringData source;
    FillScans(&source);
    ASSERT_TRUE(source.Save(folder.Path("two.csv").c_str()));
    const struct {
        const char* name;
        bool shownBefore;
        std::vector<Step> answers;
        size_t boxes;
        bool shownAfter;
    } cases[] = {
        {"hidden, yes", false, {{IDYES, ""}}, 1, true},
        {"hidden, no", false, {{IDNO, ""}}, 1, false},
        {"shown", true, {}, 0, true},
    };
    for (const auto& c : cases) {
        bench.data.Clear();
        bench.view.SetDrawItem(ScanView::kDrawRecord, c.shownBefore);
        bench.view.redraws.clear();
        bench.frame.viewMenuUpdates = 0;
        bench.application.choices.push_back(folder.Path("two.csv"));
        ModalScript script(c.answers);
        bench.Command(ID_FILE_OPEN_MEASUREMENT);

        EXPECT_EQ(2u, bench.data.Count()) << c.name;
        ASSERT_EQ(c.boxes, script.seen.size()) << c.name;
        if (c.boxes == 1) {
            EXPECT_NE(std::string::npos, script.TextsOf(0).find("Would you like to show record data?")) << c.name;
        }
        EXPECT_EQ(c.shownAfter, bench.view.TestDrawItem(ScanView::kDrawRecord) == 1) << c.name;
        EXPECT_EQ(1, bench.frame.viewMenuUpdates) << c.name;
        ASSERT_EQ(1u, bench.view.redraws.size()) << c.name;
        EXPECT_EQ(3, bench.view.redraws[0].flags) << c.name;
    }
}

// Opening measuring data over unsaved scans asks first, through the real
// box and file dialogs: Yes saves them under a chosen name, then opens; No
// opens; Cancel, or a cancelled save, keeps them and opens nothing. A file
// that cannot be read keeps them too.
TEST_F(FileCommands, UnsavedRecordingIsAskedForBeforeOpeningMeasuringData) {
    MeasuringData source;
    FillScans(&source);
    source.Append(*source.GetAt(0));
    const std::string three = folder.Path("three.csv");
    const std::string bad = folder.Path("bad.csv");
    const std::string saved = folder.Path("rec.csv");
    ASSERT_TRUE(source.Save(three.c_str()));
    ASSERT_TRUE(WriteBytes(bad, "[ZOR Measuring Data File]\r\nnonsense\r\n"));
    const struct {
        const char* name;
        std::vector<Step> answers;  // the question, the save dialog, the open dialog, its error
        DWORD countAfter;
        DWORD modifiedAfter;
        bool written;
    } cases[] = {
        {"cancel", {{IDCANCEL, ""}}, 2, 1, false},
        {"yes, save cancelled", {{IDYES, ""}, {IDCANCEL, ""}}, 2, 1, false},
        {"yes", {{IDYES, ""}, {IDOK, saved}, {IDOK, three}}, 3, 0, true},
        {"no", {{IDNO, ""}, {IDOK, three}}, 3, 0, false},
        {"no, unreadable file", {{IDNO, ""}, {IDOK, bad}, {IDOK, ""}}, 2, 1, false},
    };
    bench.application.choices.clear();
    bench.view.SetDrawItem(ScanView::kDrawRecord, 1);
    for (const auto& c : cases) {
        bench.data.Clear();
        FillScans(&bench.data);
        DeleteFileA(saved.c_str());
        ModalScript script(c.answers);
        bench.Command(ID_FILE_OPEN_MEASUREMENT);

        // Without the question the script's answers would go to the wrong windows.
        ASSERT_NE(std::string::npos, script.TextsOf(0).find("There is unsaved recorded data. Do you save it?"))
            << c.name;
        ASSERT_EQ(c.answers.size(), script.seen.size()) << c.name;
        EXPECT_EQ(c.countAfter, bench.data.Count()) << c.name;
        EXPECT_EQ(c.modifiedAfter, bench.data.IsModified()) << c.name;
        EXPECT_EQ(c.written, ReadBytes(saved) != "<missing>") << c.name;
    }
}

// The prompt before recording: Yes saves, No keeps the scans unsaved,
// Cancel keeps everything.
TEST_F(FileCommands, UnsavedRecordingIsAskedForBeforeRecording) {
    const std::string saved = folder.Path("rec.csv");
    const struct {
        const char* name;
        WORD answer;
        DWORD modifiedAfter;
    } cases[] = {
        {"cancel", IDCANCEL, 1},
        {"no", IDNO, 1},
        {"yes", IDYES, 0},
    };
    for (const auto& c : cases) {
        bench.data.Clear();
        FillScans(&bench.data);
        DeleteFileA(saved.c_str());
        bench.application.choices.clear();
        bench.application.choices.push_back(saved);
        // The recording dialog is answered with Cancel, whether it is modal or not.
        ModalScript script({{c.answer, ""}, {IDCANCEL, ""}});
        bench.Command(ID_COMM_RECORD);
        ASSERT_LE(1u, script.seen.size()) << c.name;
        EXPECT_NE(std::string::npos, script.TextsOf(0).find("There is unsaved recorded data. Do you save it?"))
            << c.name;
        EXPECT_EQ(2u, bench.data.Count()) << c.name;
        EXPECT_EQ(c.modifiedAfter, bench.data.IsModified()) << c.name;
        EXPECT_EQ(c.answer == IDYES, ReadBytes(saved) != "<missing>") << c.name;
        bench.CloseOwnedDialogs();
    }
}

// Without a printer list the preview refuses and leaves bands and view; a
// list whose only entry is item 0 is a printer.
TEST_F(FileCommands, PrintPreviewNeedsAPrinterListWithAnEntry) {
    SetPrinters(&bench.rebar);
    for (int attempt = 0; attempt < 2; ++attempt) {
        ModalScript script({{IDOK, ""}});
        bench.Command(ID_FILE_PRINT);
        ASSERT_EQ(1u, script.seen.size()) << attempt;
        EXPECT_NE(std::string::npos, script.TextsOf(0).find("No printer is installed.")) << attempt;
        EXPECT_FALSE(bench.rebar.IsBandShown(kPrintBand));
        EXPECT_TRUE(bench.rebar.IsBandShown(2100));
        EXPECT_EQ(0, bench.view.GetMode());
    }

    SetPrinters(&bench.rebar, "Only printer");
    {
        ModalScript script({});
        bench.Command(ID_FILE_PRINT);
        EXPECT_EQ(0u, script.seen.size());
    }
    EXPECT_TRUE(bench.rebar.IsBandShown(kPrintBand));
    for (UINT band = 2100; band < kPrintBand; ++band) EXPECT_FALSE(bench.rebar.IsBandShown(band)) << band;
    EXPECT_EQ(4, bench.view.GetMode());

    bench.Command(ID_PRINT_EXIT);
    EXPECT_FALSE(bench.rebar.IsBandShown(kPrintBand));
    for (UINT band = 2100; band < kPrintBand; ++band) EXPECT_TRUE(bench.rebar.IsBandShown(band)) << band;
    EXPECT_EQ(0, bench.view.GetMode());
}

// The print band's commands do nothing without the preview. In it, a
// metafile export closes the preview; one that fails (an entry that names no
// printer gives no reference page) is reported and the preview stays.
TEST_F(FileCommands, PrintBandCommandsWorkOnlyInThePreview) {
    for (WORD id : {ID_PRINT_START, ID_PRINT_PROPERTIES, ID_PRINT_PAGE_SETUP, ID_PRINT_SAVE_EMF}) {
        ModalScript script({});
        bench.Command(id);
        EXPECT_EQ(0u, script.seen.size()) << id;
    }
    if (bench.rebar.SendItemMessage(IDC_PRINTER, CB_GETCOUNT, 0, 0) > 0) {
        bench.Command(ID_FILE_PRINT);
        ASSERT_TRUE(bench.frame.IsPrintPreview());
        ModalScript script({{IDOK, folder.Path("view.emf")}});
        bench.Command(ID_PRINT_SAVE_EMF);
        EXPECT_EQ(1u, script.seen.size());
        EXPECT_FALSE(bench.frame.IsPrintPreview());
        EXPECT_EQ(" EMF", ReadBytes(folder.Path("view.emf")).substr(40, 4));  // the header's signature
    } else {
        printf("no printer installed: the export itself is not tried\n");
    }
    SetPrinters(&bench.rebar, "Not a printer");
    bench.Command(ID_FILE_PRINT);
    ASSERT_TRUE(bench.frame.IsPrintPreview());
    ModalScript script({{IDOK, folder.Path("none.emf")}, {IDOK, ""}});
    bench.Command(ID_PRINT_SAVE_EMF);
    ASSERT_EQ(2u, script.seen.size());
    EXPECT_NE(std::string::npos, script.TextsOf(1).find("Cannot create Enhanced Meta File."));
    EXPECT_TRUE(bench.frame.IsPrintPreview());
    bench.Command(ID_PRINT_EXIT);
}

// Cancelling a printer's prompt for a file name is the user's choice: no
// error box, and the preview stays for another try.
TEST_F(FileCommands, ACancelledPrintToFilePromptIsNoError) {
    if (bench.rebar.SendItemMessage(IDC_PRINTER, CB_GETCOUNT, 0, 0) <= 0) GTEST_SKIP() << "no printer installed";
    bench.printView.cancelPrompt = true;
    bench.Command(ID_FILE_PRINT);
    ASSERT_TRUE(bench.frame.IsPrintPreview());
    ModalScript script({{IDOK, ""}});
    bench.Command(ID_PRINT_START, bench.rebar.GetItemWindow(ID_PRINT_START));
    EXPECT_EQ(0u, script.seen.size()) << script.TextsOf(0);
    EXPECT_TRUE(bench.frame.IsPrintPreview());
    bench.Command(ID_PRINT_EXIT);
}

// A printer chosen in the preview's list is refused only when the list is
// empty or cannot be asked: its first entry is a printer like the others.
TEST_F(FileCommands, PrinterChoiceInThePreviewRefusesOnlyAnEmptyList) {
    SetPrinters(&bench.rebar, "First printer");
    bench.Command(ID_FILE_PRINT);
    ASSERT_TRUE(bench.frame.IsPrintPreview());
    HWND list = bench.rebar.GetItemWindow(IDC_PRINTER);
    NMHDR chosen = {list, IDC_PRINTER, CBN_SELCHANGE};
    {
        ModalScript script({});
        SendMessageA(bench.frame.GetHwnd(), WM_NOTIFY, IDC_PRINTER, reinterpret_cast<LPARAM>(&chosen));
        EXPECT_EQ(0u, script.seen.size());
        EXPECT_TRUE(bench.frame.IsPrintPreview());
    }
    {
        SetPrinters(&bench.rebar);
        ModalScript script({{IDOK, ""}});
        SendMessageA(bench.frame.GetHwnd(), WM_NOTIFY, IDC_PRINTER, reinterpret_cast<LPARAM>(&chosen));
        ASSERT_EQ(1u, script.seen.size());
        EXPECT_NE(std::string::npos, script.TextsOf(0).find("No printer is installed."));
        EXPECT_FALSE(bench.frame.IsPrintPreview());
        EXPECT_EQ(0, bench.view.GetMode());
    }
}

// Exit asks what closing asks: Cancel keeps the program, a saved or
// declined prompt lets it close; in the preview it only leaves the preview.
TEST_F(FileCommands, ExitRunsTheClosingPrompts) {
    SetPrinters(&bench.rebar, "Only printer");
    bench.Command(ID_FILE_PRINT);
    ASSERT_TRUE(bench.frame.IsPrintPreview());
    bench.Command(ID_FILE_EXIT);
    EXPECT_FALSE(bench.frame.IsPrintPreview());
    ASSERT_TRUE(IsWindow(bench.frame.GetHwnd()));

    EditAreas(&bench.areas);
    FillScans(&bench.data);
    {
        ModalScript script({{IDNO, ""}, {IDCANCEL, ""}});
        bench.Command(ID_FILE_EXIT);
        ASSERT_EQ(2u, script.seen.size());
        EXPECT_NE(std::string::npos, script.TextsOf(0).find("There is unsaved area data. Do you save it?"));
        EXPECT_NE(std::string::npos, script.TextsOf(1).find("There is unsaved recorded data. Do you save it?"));
        EXPECT_TRUE(IsWindow(bench.frame.GetHwnd()));
    }
    HWND window = bench.frame.GetHwnd();
    {
        ModalScript script({{IDNO, ""}, {IDNO, ""}});
        bench.Command(ID_FILE_EXIT);
        EXPECT_EQ(2u, script.seen.size());
    }
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(2u, bench.data.Count());  // declined, not cleared
}
