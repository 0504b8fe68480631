// A user's tour of the built program beside the sensor simulator, one test
// per workflow so that one gap does not hide the others. The program is
// driven only from outside: menu commands, keys, mouse drags in the view,
// its dialogs, file dialogs and message boxes answered by their texts.
#include "tests/mainwindow/e2e/ProgramDriver.h"

#include "framework/GdiObject.h"
#include "framework/WindowDc.h"
#include "protocol/FirmwareFile.h"
#include "resources/MenuIds.h"
#include "tests/TestFiles.h"
#include "tests/mainwindow/AreaPeaks.h"
#include "tests/protocol/e2e/SimLog.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

const DWORD kLinkMs = 30000;
const DWORD kTransferMs = 60000;

// Controls of the program's dialogs.
const int kNumberToRecord = 1021;
const int kPlay = 1037;
const int kPlayCounter = 1045;
const int kOutput2Distance = 1016;

// Area 2 of TourAreas.ara: its fourth vertex, and where the tour drags it
// (with Shift, so the drop lands on a whole 100 mm).
const int kVertexX = 2, kVertexY = 3502;
const int kDroppedX = 500, kDroppedY = 4000;
const int kNewOutput2 = 1800;

// FRAM words of the areas: 16 per area from 0x40, the seven points (x, y)
// then Output2 and Output3, each value in the low 15 bits; bit 15 carries
// one bit of the area's flags and stays as it was.
const size_t kAreaWords = 0x40;
const size_t kArea2 = kAreaWords + 16;

WORD WithValue(WORD word, int value) {
    return static_cast<WORD>((word & 0x8000) | (value & 0x7FFF));
}

std::vector<WORD> AreaWords() {
    const std::vector<WORD> fram = SimLog::FramWords();
    if (fram.size() < kAreaWords + 7 * 16) return std::vector<WORD>();
    return std::vector<WORD>(fram.begin() + kAreaWords, fram.begin() + kAreaWords + 7 * 16);
}

// The area words after the tour's two edits of area 2.
std::vector<WORD> EditedAreaWords(std::vector<WORD> words) {
    const size_t area2 = kArea2 - kAreaWords;
    words[area2 + 6] = WithValue(words[area2 + 6], kDroppedX);
    words[area2 + 7] = WithValue(words[area2 + 7], kDroppedY);
    words[area2 + 14] = WithValue(words[area2 + 14], kNewOutput2);
    return words;
}

int CountStartingWith(const std::string& kind, const std::string& prefix) {
    int count = 0;
    for (const std::string& line : SimLog::Lines(kind)) count += line.compare(0, prefix.size(), prefix) == 0;
    return count;
}

// Waits for more link challenges and version requests than counted before:
// the program has linked again.
bool WaitForRelink(int challenges, int versions) {
    return SimLog::PollFor(
        [&] { return CountStartingWith("RX", "a069") > challenges && CountStartingWith("RX", "a169") > versions; },
        kLinkMs);
}

// The program linked to the simulator at 19200 baud from its saved port.
class Tour : public ::testing::Test {
protected:
    void SetUp() override {
        if (SimLog::ComPort() == 0) GTEST_SKIP() << "needs the sensor simulator (run through CTest)";
        m_com = SimLog::ComPort();
    }
    // Linked, and its realtime scan asked for.
    bool StartLinked(const char* switches = "") {
        m_program.WriteSetting("Device", "ComPort", std::to_string(m_com).c_str());
        m_program.WriteSetting("Device", "DeviceType", "0");
        return m_driver.Start(switches) && m_driver.WaitForPane(m_com, 1, kLinkMs) &&
               SimLog::PollFor([] { return CountStartingWith("RX", "a269") > 0; }, kLinkMs);
    }
    // A transfer from the Communication menu, confirmed, and its report answered.
    bool Transfer(WORD command, const char* question, const char* report) {
        const size_t commits = SimLog::Lines("COMMIT").size();
        m_driver.Command(command);
        if (!m_driver.Answer(question, IDOK) || !m_driver.Answer(report, IDOK, kTransferMs)) return false;
        return command != ID_COMM_WRITE_AREA || SimLog::WaitForCount("COMMIT", commits + 2, kTransferMs);
    }
    bool ReadAreas() { return Transfer(ID_COMM_READ_AREA, "Area will be read. OK?", "Area reading completed."); }
    bool WriteAreas() {
        return Transfer(ID_COMM_WRITE_AREA, "Area will be written. OK?", "Area writing completed.");
    }
    // Area 2 chosen with PageDown, its vertex dragged, its Output2 typed
    // into the numerical input; true once the dialog shows both edits.
    bool EditArea2();

    ProgramRun m_program;
    ProgramDriver m_driver{m_program};
    TestFolder m_folder;
    int m_com = 0;
};

bool Tour::EditArea2() {
    m_driver.Command(ID_AREA_NUMERICAL_INPUT);
    HWND input = m_driver.WaitForDialog("Numerical Input");
    if (input == NULL) return false;
    m_driver.Key(VK_NEXT);
    if (!SimLog::PollFor([&] { return ProgramDriver::Texts(input).find("Area2\n") != std::string::npos; }, kLinkMs)) {
        ADD_FAILURE() << "PageDown did not choose area 2:\n" << ProgramDriver::Texts(input);
        return false;
    }
    const std::string dropped = std::to_string(kDroppedY) + " mm";
    auto droppedShown = [&] { return ProgramDriver::Texts(input).find(dropped) != std::string::npos; };
    // The view moves its handles to the chosen area as it redraws.
    bool moved = false;
    for (int attempt = 0; attempt < 3 && !moved; ++attempt) {
        m_driver.Drag(kVertexX, kVertexY, kDroppedX, kDroppedY, MK_SHIFT);
        moved = SimLog::PollFor(droppedShown, 3000);
    }
    if (!moved) {
        ADD_FAILURE() << "the vertex did not move:\n" << ProgramDriver::Texts(input);
        return false;
    }
    if (!ProgramDriver::Type(input, kOutput2Distance, std::to_string(kNewOutput2),
                             std::to_string(kNewOutput2) + " mm")) {
        ADD_FAILURE() << "Output2 shows " << ProgramDriver::Text(input, kOutput2Distance);
        return false;
    }
    PostMessageA(input, WM_CLOSE, 0, 0);
    return ProgramDriver::WaitGone(input);
}

// The scans of a measuring data file, after its header.
std::string ScansOf(const std::string& text) {
    const size_t at = text.find("[Measuring Data]");
    const size_t start = at == std::string::npos ? at : text.find('\n', at);
    return start == std::string::npos ? std::string() : text.substr(start + 1);
}

// Waits until a file the program writes is there and has stopped growing;
// its bytes.
std::string WaitForFile(const std::string& path) {
    std::string last;
    SimLog::PollFor(
        [&] {
            const std::string now = ReadBytes(path);
            const bool settled = now == last && !now.empty() && now != "<missing>";
            last = now;
            return settled;
        },
        kTransferMs);
    return last;
}

// The spooler's PDF files (each print job becomes one in ~/PDF).
int PdfCount() {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((WindowsPath(TIV_TOUR_PDF_FOLDER) + "\\*.pdf").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    int count = 0;
    do ++count;
    while (FindNextFileA(search, &found));
    FindClose(search);
    return count;
}

// The metafile played back at its frame's size (the view's client and one
// pixel) shows area 1 of the tour's file with the sensor and its farthest
// vertex, (1, 1331) mm, on the pixels the view shows them, within 1 %.
void ExpectArea1WhereTheViewShowsIt(const std::string& path, HWND view) {
    RECT client;
    ASSERT_TRUE(GetClientRect(view, &client));
    HENHMETAFILE metafile = GetEnhMetaFileA(path.c_str());
    ASSERT_NE(static_cast<HENHMETAFILE>(NULL), metafile);
    const RECT frame = {0, 0, client.right + 1, client.bottom + 1};
    WindowDc screen(NULL);
    MemoryDc played(screen);
    OwnedBitmap bitmap(CreateCompatibleBitmap(screen, frame.right, frame.bottom));
    SelectScope selected(played, bitmap);
    PatBlt(played, 0, 0, frame.right, frame.bottom, WHITENESS);
    PlayEnhMetaFile(played, metafile, &frame);
    DeleteEnhMetaFile(metafile);
    const AreaPeaks peaks = AreaPeaks::Find(played, client);
    const POINT sensor = ProgramDriver::ViewPixel(0, 0), vertex = ProgramDriver::ViewPixel(1, 1331);
    EXPECT_NEAR(static_cast<double>(sensor.x) / client.right, peaks.sensorX, 0.01);
    EXPECT_NEAR(static_cast<double>(sensor.y) / client.bottom, peaks.sensorY, 0.01);
    EXPECT_NEAR(static_cast<double>(vertex.x) / client.right, peaks.vertexX, 0.01);
    EXPECT_NEAR(static_cast<double>(vertex.y) / client.bottom, peaks.vertexY, 0.01);
}

// Pages in two flash blocks.
FirmwareFile::Pages UpdatePages() {
    FirmwareFile::Pages pages;
    for (DWORD address : {0xAFF00u, 0xB0000u, 0xB0100u}) {
        FirmwareFile::Page page;
        page.address = address;
        for (DWORD i = 0; i < FirmwareFile::kPageBytes; ++i) page.data[i] = static_cast<BYTE>(address >> 8 ^ i * 5);
        pages.push_back(page);
    }
    return pages;
}

}  // namespace

// 1. No settings at all: the user picks the port; the sensor, at 57600 baud,
// is found by automatic recognition and linked; both are kept.
TEST_F(Tour, FirstStartFindsTheSensorByAutomaticRecognition) {
    ASSERT_TRUE(m_driver.Start());
    EXPECT_TRUE(m_driver.WaitForPane(0, 0, kLinkMs)) << "no port before one is chosen";
    m_driver.Command(static_cast<WORD>(ID_COMM_PORT_FIRST + m_com - 1));
    EXPECT_TRUE(m_driver.WaitForPane(m_com, 1, kLinkMs)) << m_driver.PanePort() << " " << m_driver.PaneLevel();
    ASSERT_FALSE(SimLog::Lines("BAUD").empty());
    EXPECT_EQ("57600", SimLog::Lines("BAUD").back());
    EXPECT_EQ(1u, m_driver.Close());
    const std::string settings = m_program.Settings();
    EXPECT_NE(std::string::npos, settings.find("ComPort=" + std::to_string(m_com))) << settings;
    EXPECT_NE(std::string::npos, settings.find("DeviceType=65535")) << settings;
}

// 2. Read the areas, drag a vertex of area 2, type its Output2, write: the
// sensor's memory holds the read areas with exactly these edits.
TEST_F(Tour, EditedAreasWrittenAreExactlyTheSensorsAreas) {
    const std::vector<WORD> known = AreaWords();
    ASSERT_EQ(7u * 16, known.size());
    ASSERT_TRUE(StartLinked());
    ASSERT_TRUE(ReadAreas());
    ASSERT_TRUE(EditArea2());
    ASSERT_TRUE(WriteAreas());
    EXPECT_EQ(EditedAreaWords(known), AreaWords());
    EXPECT_EQ(1u, m_driver.Close());
}

// 3. Areas opened from a file and saved; the program started again opens
// the saved file: saved once more, it is the same file.
TEST_F(Tour, SavedAreaFileOpensAgainAfterARestart) {
    const std::string saved = m_folder.Path("tour.ara");
    const std::string again = m_folder.Path("again.ara");
    ASSERT_TRUE(m_driver.Start());
    m_driver.Command(ID_FILE_OPEN_AREA);
    ASSERT_TRUE(m_driver.ChooseFile("Area File (*.ara)", WindowsPath(TIV_TOUR_AREAS)));
    m_driver.Command(ID_FILE_SAVE_AREA_AS);
    ASSERT_TRUE(m_driver.ChooseFile("Area File (*.ara)", saved));
    EXPECT_EQ(ReadBytes(WindowsPath(TIV_TOUR_AREAS)), WaitForFile(saved));
    EXPECT_EQ(1u, m_driver.Close());

    ASSERT_TRUE(m_driver.Start());
    m_driver.Command(ID_FILE_OPEN_AREA);
    ASSERT_TRUE(m_driver.ChooseFile("Area File (*.ara)", saved));
    m_driver.Command(ID_FILE_SAVE_AREA_AS);
    ASSERT_TRUE(m_driver.ChooseFile("Area File (*.ara)", again));
    EXPECT_EQ(ReadBytes(saved), WaitForFile(again));
    EXPECT_EQ(1u, m_driver.Close());
}

// 4. Fifty realtime scans recorded and saved; cleared, opened again and
// played back to the last scan; saved again, the same file.
TEST_F(Tour, RecordedScansSavedOpenedAndPlayedBack) {
    const std::string saved = m_folder.Path("scans.csv");
    const std::string again = m_folder.Path("again.csv");
    ASSERT_TRUE(StartLinked());

    m_driver.Command(ID_COMM_RECORD);
    HWND record = m_driver.WaitForDialog("Number to record");
    ASSERT_NE(static_cast<HWND>(NULL), record);
    ProgramDriver::SetText(record, kNumberToRecord, "50");
    ProgramDriver::Press(record, IDOK);
    ASSERT_TRUE(ProgramDriver::WaitGone(record, kTransferMs)) << "the recording did not end";

    m_driver.Command(ID_FILE_SAVE_MEASUREMENT);
    ASSERT_TRUE(m_driver.ChooseFile("Measurement File (*.csv)", saved));
    const std::string text = WaitForFile(saved);
    EXPECT_EQ(0u, text.find("[ZOR Measuring Data File]")) << text.substr(0, 200);
    std::string fifty;
    for (int i = 0; i < 50; ++i) fifty += SimLog::SceneLine() + "\r\n";
    EXPECT_EQ(fifty, ScansOf(text));

    m_driver.Command(ID_COMM_CLEAR_RECORD);
    m_driver.Command(ID_FILE_OPEN_MEASUREMENT);
    ASSERT_TRUE(m_driver.ChooseFile("Measurement File (*.csv)", saved));
    // Asked only while the recorded scans are hidden.
    m_driver.Answer("Would you like to show record data?", IDYES, 1000);

    m_driver.Command(ID_VIEW_PLAY_BACK);
    HWND playBack = m_driver.WaitForDialog("Play Back");
    ASSERT_NE(static_cast<HWND>(NULL), playBack);
    ProgramDriver::Press(playBack, kPlay);
    EXPECT_TRUE(SimLog::PollFor([&] { return ProgramDriver::Text(playBack, kPlayCounter) == "50/50"; }, kTransferMs))
        << ProgramDriver::Text(playBack, kPlayCounter);
    ProgramDriver::Press(playBack, IDCANCEL);
    ASSERT_TRUE(ProgramDriver::WaitGone(playBack));

    m_driver.Command(ID_FILE_SAVE_MEASUREMENT);
    ASSERT_TRUE(m_driver.ChooseFile("Measurement File (*.csv)", again));
    EXPECT_EQ(text, WaitForFile(again));
    EXPECT_EQ(1u, m_driver.Close());
}

// 5. An area file opened; the view printed from the print preview on the
// spooler's PDF printer, then exported from the preview as an enhanced
// metafile that shows area 1 where the screen does.
TEST_F(Tour, ViewPrintedToThePdfPrinterAndExportedAsAMetafile) {
    const int pdfs = PdfCount();
    ASSERT_TRUE(StartLinked());
    m_driver.Command(ID_FILE_OPEN_AREA);
    ASSERT_TRUE(m_driver.ChooseFile("Area File (*.ara)", WindowsPath(TIV_TOUR_AREAS)));
    m_driver.Command(ID_FILE_PRINT);
    m_driver.Command(ID_PRINT_START);
    m_driver.Command(ID_FILE_PRINT);
    m_driver.Command(ID_PRINT_SAVE_EMF);
    const std::string emf = m_folder.Path("view.emf");
    ASSERT_TRUE(m_driver.ChooseFile("Enhanced Meta File (*.emf)", emf));
    const std::string bytes = WaitForFile(emf);
    ASSERT_GT(bytes.size(), 88u);
    EXPECT_EQ(1, *reinterpret_cast<const DWORD*>(bytes.data())) << "EMR_HEADER first";
    EXPECT_EQ(" EMF", bytes.substr(40, 4));
    ExpectArea1WhereTheViewShowsIt(emf, m_driver.View());
    EXPECT_EQ(static_cast<HWND>(NULL), m_driver.WaitForDialog("Cannot", 0));
    EXPECT_EQ(1u, m_driver.Close());
    // The spooler makes the PDF once the program has ended.
    EXPECT_TRUE(SimLog::PollFor([&] { return PdfCount() > pdfs; }, 90000)) << "no new PDF";
}

// 6. The rate to 115200 and back, each time relinked; then a firmware update
// from an update file: the flash holds its pages, the program closes the
// port and asks for the sensor's restart, and the port chosen again links.
TEST_F(Tour, BaudRateChangedAndBackThenFirmwareUpdatedAndRelinked) {
    ASSERT_TRUE(StartLinked());
    for (WORD rate : {ID_SETTING_115200, ID_SETTING_19200}) {
        const int challenges = CountStartingWith("RX", "a069"), versions = CountStartingWith("RX", "a169");
        const size_t switches = SimLog::Lines("SWITCH").size();
        m_driver.Command(rate);
        EXPECT_TRUE(SimLog::WaitForCount("SWITCH", switches + 1, kLinkMs)) << rate;
        EXPECT_TRUE(WaitForRelink(challenges, versions)) << rate;
        EXPECT_TRUE(m_driver.WaitForPane(m_com, 1, kLinkMs)) << rate;
    }
    EXPECT_EQ("115200", SimLog::Lines("SWITCH").front());
    EXPECT_EQ("19200", SimLog::Lines("SWITCH").back());

    const std::string file = m_folder.Path("update.tiv");
    ASSERT_EQ(1, FirmwareFile::Write(file.c_str(), UpdatePages()));
    m_driver.Command(ID_HELP_UPDATE);
    ASSERT_TRUE(m_driver.Answer("This operation rewrites the firmware of TIV.", IDOK));
    ASSERT_TRUE(m_driver.ChooseFile("ZOR Update File (*.tiv)", file));
    ASSERT_TRUE(m_driver.Answer("The firmware will be rewritten to data of \"update.tiv\". OK?", IDOK));
    ASSERT_TRUE(SimLog::WaitForCount("FLASH", 1, kTransferMs));
    const std::map<DWORD, std::string> flash = SimLog::FlashDump(SimLog::Lines("FLASH").back());
    EXPECT_EQ(UpdatePages().size(), flash.size());
    ASSERT_TRUE(m_driver.Answer("Firmware updating completed.", IDOK, kTransferMs));
    // Then the fixed text asking to switch the sensor off and on (another
    // code page); the port is closed meanwhile, and chosen again.
    ASSERT_TRUE(m_driver.Answer("OK\n", IDOK));
    EXPECT_TRUE(m_driver.WaitForPane(0, 0, kLinkMs)) << m_driver.PanePort() << " " << m_driver.PaneLevel();
    const int challenges = CountStartingWith("RX", "a069"), versions = CountStartingWith("RX", "a169");
    m_driver.Command(static_cast<WORD>(ID_COMM_PORT_FIRST + m_com - 1));
    EXPECT_TRUE(WaitForRelink(challenges, versions));
    EXPECT_TRUE(m_driver.WaitForPane(m_com, 1, kLinkMs)) << m_driver.PanePort() << " " << m_driver.PaneLevel();
    EXPECT_EQ(1u, m_driver.Close());
}

// 7. With every switch, each engineering dialog opens once and closes.
TEST_F(Tour, EveryEngineeringDialogOpensAndCloses) {
    ASSERT_TRUE(StartLinked("-stats -inspect -develop"));
    const struct {
        WORD command;
        const char* caption;
    } dialogs[] = {
        {ID_INSPECT_CORRECT, "Correction"},       {ID_INSPECT_WRITE_FUNCTION, "Write Function"},
        {ID_INSPECT_WAVE_FORM, "Wave Form"},       {ID_SETTING_FILTER_SWITCH, "Filter Switch"},
        {ID_DEVELOP_RAM_EDITOR, "RAM Editor"},     {ID_DEVELOP_FRAM_EDITOR, "FRAM Editor"},
        {ID_DEVELOP_COM_MONITOR, "COM Monitor"},   {ID_DEVELOP_ENCRYPT, "Encrypt MOT File"},
        {ID_COMM_SENSOR_INFO, "ZOR Infomation"},   {ID_COMM_IO_TEST, "I/O Test"},
    };
    for (const auto& d : dialogs) {
        m_driver.Command(d.command);
        HWND dialog = m_driver.WaitForDialog(std::string(d.caption) + "\n");
        EXPECT_NE(static_cast<HWND>(NULL), dialog) << d.caption;
        if (dialog == NULL) continue;
        PostMessageA(dialog, WM_CLOSE, 0, 0);
        EXPECT_TRUE(ProgramDriver::WaitGone(dialog)) << d.caption;
    }
    EXPECT_EQ(1u, m_driver.Close());
}

// 8. The cable pulled while the user's edits are unsaved: the loss shows,
// the port stays chosen, the sensor plugged back is linked again by itself,
// and the areas written then are the edited ones.
TEST_F(Tour, PulledSensorIsLinkedAgainWithTheUnsavedAreasKept) {
    const std::vector<WORD> known = AreaWords();
    ASSERT_EQ(7u * 16, known.size());
    ASSERT_TRUE(StartLinked());
    ASSERT_TRUE(ReadAreas());
    ASSERT_TRUE(EditArea2());

    ASSERT_TRUE(WriteBytes(WindowsPath(TIV_TOUR_UNPLUG), "pulled"));
    EXPECT_TRUE(SimLog::WaitForCount("HANGUP", 1, kLinkMs));
    EXPECT_TRUE(m_driver.WaitForPane(m_com, 0, kLinkMs)) << m_driver.PanePort() << " " << m_driver.PaneLevel();
    // Long enough for the program to try the missing port again.
    EXPECT_EQ(static_cast<HWND>(NULL), m_driver.WaitForDialog("Cannot", 5000)) << "the loss is no failed open";

    ASSERT_TRUE(DeleteFileA(WindowsPath(TIV_TOUR_UNPLUG).c_str()));
    ASSERT_TRUE(SimLog::WaitForCount("RETURN", 1, kLinkMs));
    ASSERT_TRUE(m_driver.WaitForPane(m_com, 1, kLinkMs)) << m_driver.PanePort() << " " << m_driver.PaneLevel();
    ASSERT_TRUE(WriteAreas());
    EXPECT_EQ(EditedAreaWords(known), AreaWords());
    EXPECT_EQ(1u, m_driver.Close());
}
