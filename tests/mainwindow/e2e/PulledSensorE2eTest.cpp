// The sensor pulled (its line hangs up) and plugged back at unlucky moments
// of the user's work, the program driven from outside: at each step of an area
// read, an area write and a firmware update, during realtime, and while the
// result box is open; then the same at random moments of random operations.
// The random rounds add the user's own moves at random moments: a rate item
// or Auto Recognition, Disconnect, the port chosen again, Read Area and Write
// Area, while linked, with the cable out, or as the sensor comes back.
// After each the main window answers within 2 s, the sensor back on the port
// is linked again by itself, and the user's unsaved areas are still there; the
// simulator, told which rates the setting allows, reports no fault.
// Each test runs in two set-ups: the rate found by automatic recognition, as
// on a fresh install, and a fixed 19200 baud, which CTest also runs on the
// paced line.
#include "tests/mainwindow/e2e/ProgramDriver.h"

#include "protocol/FirmwareFile.h"
#include "resources/MenuIds.h"
#include "tests/TestFiles.h"
#include "tests/protocol/e2e/SimLog.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

const DWORD kAnswerMs = 2000;
const DWORD kBoxMs = 15000;  // a result shows, and a box goes once answered, well within this
const DWORD kStepMs = 30000;
const char kAutomatic[] = "65535";
const char kAt19200[] = "0";
const int kOutput2Distance = 1016;  // the numerical input's Output2 edit

const char kReadDone[] = "Area reading completed.";
const char kReadFailed[] = "Area reading failed.";
const char kWriteDone[] = "Area writing completed.";
const char kWriteFailed[] = "Area writing failed.";
const char kWritePartly[] = "The sensor may now hold some of the new areas";
const char kWriteFailedAny[] = "Area writing failed";  // wholly or part way: a commit asked, unanswered
const char kUpdateDone[] = "Firmware updating completed.";
const char kUpdateFailed[] = "Firmware updating failed.";
const char kNever[] = "";  // a moment's pullAt when the cable stays in

enum Kind { kRealtime, kReadArea, kWriteArea, kFirmwareUpdate, kBaudChange, kDialog };

// The user's own moves around a random round, and when: while linked before
// the round's operation, with the cable out after it, or as the sensor is
// plugged back (once it is linked, for a transfer).
enum MoveKind { kNoMove, kRateItem, kAutoRecognition, kDisconnect, kPortAgain, kReadAreaMove, kWriteAreaMove };
enum MovePoint { kWhileLinked, kCableOut, kComingBack };

struct UserMove {
    MoveKind kind;
    MovePoint at;
    WORD rate;      // a rate item's command
    DWORD delayMs;  // before the move, or between Disconnect and the port chosen again
};

struct RateItem {
    WORD command;
    const char* rate;
    int deviceType;
};

const RateItem kRateItems[] = {
    {ID_SETTING_19200, "19200", 0}, {ID_SETTING_57600, "57600", 1}, {ID_SETTING_115200, "115200", 2}};
const int kPaneAutomatic = 0xFF;  // the port pane's device type of Auto Recognition
const char kAllRates[] = "19200 57600 115200";

const RateItem* ItemOfCommand(WORD command) {
    for (const RateItem& item : kRateItems) {
        if (item.command == command) return &item;
    }
    return &kRateItems[0];
}

const char* RateOf(WORD command) {
    return ItemOfCommand(command)->rate;
}

WORD ItemOf(const std::string& rate) {
    for (const RateItem& item : kRateItems) {
        if (item.rate == rate) return item.command;
    }
    return ID_SETTING_19200;
}

// The sensor's rate: 19200 from its start, then each switch line's.
std::string SensorRate() {
    const std::vector<std::string> switches = SimLog::Lines("SWITCH");
    return switches.empty() ? "19200" : switches.back();
}

// What the user does while the result box is open and the sensor is out.
enum UnderTheBox {
    kAnswerThenPlugBack,
    kPlugBackUnderIt,       // linked again while the box is open, then answered
    kPlugBackAndPullAgain,  // linked again under it, pulled once more, answered
};

struct Moment {
    const char* when;    // named in every failure
    const char* pullAt;  // the request (hex prefix) that pulls the cable; NULL: once the box shows; or kNever
    int nth;             // of the requests so starting, counted from the operation's start
    const char* box;     // a text of the result box, answered; NULL: none shows
    UnderTheBox under;
};

// One page in the simulator's flash.
FirmwareFile::Pages OnePage() {
    FirmwareFile::Page page;
    page.address = 0xB0000;
    for (DWORD i = 0; i < FirmwareFile::kPageBytes; ++i) page.data[i] = static_cast<BYTE>(i * 3);
    return FirmwareFile::Pages(1, page);
}

// Whether the simulator, after entry from of its log, was asked for a
// challenge and then granted level 1: a new link.
bool Granted(size_t from) {
    const std::vector<SimLog::Entry> log = SimLog::Entries();
    bool challenged = false;
    for (size_t i = from; i < log.size(); ++i) {
        const std::string& hex = log[i].payload;
        if (log[i].kind == "RX" && hex.compare(0, 4, "a069") == 0) challenged = true;
        if (challenged && log[i].kind == "TX" && hex.compare(0, 6, "a05a01") == 0) return true;
    }
    return false;
}

DWORD EnvNumber(const char* name, DWORD fallback) {
    const char* text = getenv(name);
    return text != NULL && *text != '\0' ? strtoul(text, NULL, 10) : fallback;
}

// The program linked to the simulator, whose areas it has read and then
// edited without writing them; the setting of DeviceType is the parameter.
class PulledSensor : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override;
    void TearDown() override { SimLog::PlugCableBack(); }

    // Starts the operation, pulls the cable and plugs it back as the moment
    // says, and checks that the program answers, links again and keeps the
    // areas. A dialog kind opens dialog (a menu command and its caption).
    void Pull(Kind kind, const Moment& moment);
    // Each moment in turn (those whose text holds TIV_PULL_MOMENT, when set),
    // then the program closed.
    template <size_t N>
    void PullAtEach(Kind kind, const Moment (&moments)[N]) {
        const char* only = getenv("TIV_PULL_MOMENT");
        for (const Moment& m : moments) {
            if (only != NULL && std::string(m.when).find(only) == std::string::npos) continue;
            ASSERT_NO_FATAL_FAILURE(Pull(kind, m));
        }
        EXPECT_EQ(1u, m_driver.Close());
    }
    bool Begin(Kind kind);
    void End(Kind kind);
    void PullNow();
    void PlugBack();
    void AnswerResult(HWND box);
    ::testing::AssertionResult Answers();
    // The port pane shows level while the program answers; a link shows at
    // the simulator's port, and the simulator granted it since the program
    // last had to link anew (a pane read before a posted command is handled
    // still shows the old link).
    ::testing::AssertionResult PaneShows(int level);
    void MustLinkAnew() { m_since = SimLog::Entries().size(); }
    bool EditArea();
    std::string AreaTexts();
    std::string ShownDialog() const;
    bool Automatic() const { return std::string(GetParam()) == kAutomatic; }
    void RandomRound(std::mt19937& random, int round);
    UserMove RandomMove(std::mt19937& random, std::string* when);
    // The planned user move, if it is due at this point.
    void MoveAt(MovePoint point);
    void Move(const UserMove& move);
    void ChooseRate(WORD command);
    void ChooseAutoRecognition();
    // Once the port pane shows the setting chosen, the frame has handled the
    // item, and its rate line, if it sent one, has reached the simulator.
    void WaitHandled(int deviceType);
    void ChoosePort();
    void TransferMove(Kind kind);
    // Gives the program back its set-up's setting (a fixed rate where the
    // sensor's rate is) and its port, as a user whose sensor does not link.
    void Restore();

    ProgramRun m_program;
    ProgramDriver m_driver{m_program};
    TestFolder m_folder;
    int m_com = 0;
    bool m_pulled = false;
    bool m_updateRan = false;  // the program closes the port at the update's result
    DWORD m_backAfterMs = 0;   // how much longer the cable stays out once the box is answered
    size_t m_since = 0;        // the simulator's log entries when the program last had to link anew
    WORD m_rate = ID_SETTING_19200;  // the rate item chosen last
    bool m_auto = false;             // Auto Recognition chosen last
    bool m_portClosed = false;       // by Disconnect, until the port is chosen again
    UserMove m_move = {kNoMove, kWhileLinked, 0, 0};
    WORD m_dialog = 0;  // the dialog a dialog kind opens, and its caption
    const char* m_caption = "";
    std::vector<WORD> m_sensorFram;  // the simulator's FRAM before any write
    std::string m_sensorAreas, m_editedAreas, m_expectedAreas;
};

void PulledSensor::SetUp() {
    if (SimLog::ComPort() == 0) GTEST_SKIP() << "needs the sensor simulator (run through CTest)";
    m_com = SimLog::ComPort();
    m_sensorFram = SimLog::FramWords();
    ASSERT_EQ(1, FirmwareFile::Write(m_folder.Path("update.tiv").c_str(), OnePage()));
    m_program.WriteSetting("Device", "ComPort", std::to_string(m_com).c_str());
    m_program.WriteSetting("Device", "DeviceType", GetParam());
    m_auto = Automatic();
    ASSERT_TRUE(SimLog::Allow(m_auto ? kAllRates : "19200", true));
    ASSERT_TRUE(m_driver.Start());
    ASSERT_TRUE(PaneShows(1)) << "at the start";
    m_driver.Command(ID_COMM_READ_AREA);
    ASSERT_TRUE(m_driver.Answer("Area will be read. OK?", IDOK));
    ASSERT_TRUE(m_driver.Answer(kReadDone, IDOK, kStepMs));
    m_sensorAreas = AreaTexts();
    ASSERT_TRUE(EditArea());
    m_expectedAreas = m_editedAreas = AreaTexts();
    ASSERT_NE(m_sensorAreas, m_editedAreas) << m_editedAreas;
}

::testing::AssertionResult PulledSensor::Answers() {
    const DWORD code = m_program.WaitForExit(NULL, 0);
    if (code != STILL_ACTIVE)
        return ::testing::AssertionFailure() << "the program ended, code 0x" << std::hex << code;
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutA(m_driver.Window(), WM_NULL, 0, 0, SMTO_NORMAL, kAnswerMs, &ignored))
        return ::testing::AssertionFailure() << "the main window did not answer within 2 s";
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult PulledSensor::PaneShows(int level) {
    const DWORD start = GetTickCount();
    for (;;) {
        ::testing::AssertionResult answers = Answers();
        if (!answers) return answers;
        if (m_driver.PaneLevel() == level && (level == 0 || (m_driver.PanePort() == m_com && Granted(m_since))))
            return ::testing::AssertionSuccess();
        if (GetTickCount() - start >= kStepMs) {
            return ::testing::AssertionFailure()
                   << (level == 0 ? "the loss never showed" : "not linked again") << ": port "
                   << m_driver.PanePort() << " level " << m_driver.PaneLevel();
        }
        Sleep(100);
    }
}

bool PulledSensor::EditArea() {
    m_driver.Command(ID_AREA_NUMERICAL_INPUT);
    HWND input = m_driver.WaitForDialog("Numerical Input");
    const bool typed = input != NULL && ProgramDriver::Type(input, kOutput2Distance, "1700", "1700 mm");
    PostMessageA(input, WM_CLOSE, 0, 0);
    return typed && ProgramDriver::WaitGone(input);
}

std::string PulledSensor::ShownDialog() const {
    HWND dialog = m_driver.WaitForDialog("", 0);
    return dialog != NULL ? "\n" + ProgramDriver::Texts(dialog) : "none";
}

// The current area as the numerical input shows it.
std::string PulledSensor::AreaTexts() {
    m_driver.Command(ID_AREA_NUMERICAL_INPUT);
    HWND input = m_driver.WaitForDialog("Numerical Input", kStepMs);
    if (input == NULL) return "<no Numerical Input>";
    const std::string texts = ProgramDriver::Texts(input);
    PostMessageA(input, WM_CLOSE, 0, 0);
    ProgramDriver::WaitGone(input);
    return texts;
}

bool PulledSensor::Begin(Kind kind) {
    switch (kind) {
        case kRealtime:  // runs while linked
            return true;
        case kReadArea:
            m_driver.Command(ID_COMM_READ_AREA);
            return m_driver.Answer("Area will be read. OK?", IDOK);
        case kWriteArea:
            m_driver.Command(ID_COMM_WRITE_AREA);
            return m_driver.Answer("Area will be written. OK?", IDOK);
        case kFirmwareUpdate:
            m_driver.Command(ID_HELP_UPDATE);
            m_updateRan =
                m_driver.Answer("This operation rewrites the firmware of TIV.", IDOK) &&
                m_driver.ChooseFile("ZOR Update File (*.tiv)", m_folder.Path("update.tiv")) &&
                m_driver.Answer("The firmware will be rewritten to data of \"update.tiv\". OK?", IDOK);
            return m_updateRan;
        case kBaudChange:
            ChooseRate(m_rate);
            return true;
        case kDialog:
            m_driver.Command(m_dialog);
            return m_driver.WaitForDialog(m_caption) != NULL;
    }
    return false;
}

// Leaves the program as the operation found it; Restore gives the rate back.
void PulledSensor::End(Kind kind) {
    HWND dialog = kind == kDialog ? m_driver.WaitForDialog(m_caption, 0) : NULL;
    if (dialog == NULL) return;
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(ProgramDriver::WaitGone(dialog)) << m_caption << " did not close";
}

void PulledSensor::PullNow() {
    const size_t hangups = SimLog::Lines("HANGUP").size();
    ASSERT_TRUE(SimLog::PullCable());
    ASSERT_TRUE(SimLog::WaitForCount("HANGUP", hangups + 1, kStepMs)) << "the simulator did not hang up";
    m_pulled = true;
}

void PulledSensor::PlugBack() {
    const size_t returns = SimLog::Lines("RETURN").size();
    MustLinkAnew();
    ASSERT_TRUE(SimLog::PlugCableBack());
    ASSERT_TRUE(SimLog::WaitForCount("RETURN", returns + 1, kStepMs)) << "the simulator did not come back";
    m_pulled = false;
}

void PulledSensor::ChooseRate(WORD command) {
    ASSERT_TRUE(SimLog::Allow(RateOf(command), true));
    MustLinkAnew();
    m_driver.Command(command);
    m_rate = command;
    m_auto = false;
    WaitHandled(ItemOfCommand(command)->deviceType);
}

void PulledSensor::ChooseAutoRecognition() {
    ASSERT_TRUE(SimLog::Allow(kAllRates, true));
    MustLinkAnew();
    m_driver.Command(ID_SETTING_AUTO_RECOGNITION);
    m_auto = true;
    WaitHandled(kPaneAutomatic);
}

void PulledSensor::WaitHandled(int deviceType) {
    EXPECT_TRUE(SimLog::PollFor([&] { return m_driver.PaneDeviceType() == deviceType; }, kStepMs))
        << "the setting never showed; the pane shows device type " << m_driver.PaneDeviceType();
}

void PulledSensor::ChoosePort() {
    MustLinkAnew();
    m_driver.Command(static_cast<WORD>(ID_COMM_PORT_FIRST + m_com - 1));
    m_portClosed = false;
}

// A read or write from the menu, which shows only while linked: it completes.
void PulledSensor::TransferMove(Kind kind) {
    ASSERT_NO_FATAL_FAILURE(Restore());
    ASSERT_TRUE(PaneShows(1)) << "linked for the user's transfer";
    ASSERT_TRUE(Begin(kind)) << "the user's transfer did not start";
    HWND box = m_driver.WaitForDialog(kind == kReadArea ? "Area reading" : "Area writing", kStepMs);
    ASSERT_NE(static_cast<HWND>(NULL), box) << "no result of the user's transfer; shown: " << ShownDialog();
    const std::string texts = ProgramDriver::Texts(box);
    EXPECT_NE(std::string::npos, texts.find(kind == kReadArea ? kReadDone : kWriteDone)) << texts;
    ASSERT_NO_FATAL_FAILURE(AnswerResult(box));
}

void PulledSensor::MoveAt(MovePoint point) {
    if (m_move.kind == kNoMove || m_move.at != point) return;
    const UserMove move = m_move;
    m_move.kind = kNoMove;
    Sleep(move.delayMs);
    ASSERT_NO_FATAL_FAILURE(Move(move));
    ASSERT_TRUE(Answers()) << "after the user's move";
}

void PulledSensor::Move(const UserMove& move) {
    switch (move.kind) {
        case kRateItem:
            return ChooseRate(move.rate);
        case kAutoRecognition:
            return ChooseAutoRecognition();
        case kDisconnect:
            m_driver.Command(ID_COMM_DISCONNECT);
            m_portClosed = true;
            // Chosen again here while the sensor is in, else once it is back.
            if (!m_pulled) {
                Sleep(move.delayMs);
                ChoosePort();
            }
            return;
        case kPortAgain:
            if (!m_pulled) ChoosePort();
            return;
        case kReadAreaMove:
            return TransferMove(kReadArea);
        case kWriteAreaMove:
            return TransferMove(kWriteArea);
        case kNoMove:
            return;
    }
}

void PulledSensor::Restore() {
    if (m_portClosed) ChoosePort();
    const WORD sensorRate = ItemOf(SensorRate());
    if (Automatic() && !m_auto) {
        ASSERT_NO_FATAL_FAILURE(ChooseAutoRecognition());
    } else if (!Automatic() && (m_auto || m_rate != sensorRate)) {
        ASSERT_NO_FATAL_FAILURE(ChooseRate(sensorRate));
    }
    EXPECT_EQ(static_cast<HWND>(NULL), m_driver.WaitForDialog("Cannot", 0)) << "a failed open";
}

// Presses OK in the result box and in the box after it that a firmware
// update shows; a read completed gives the program the sensor's areas.
void PulledSensor::AnswerResult(HWND box) {
    const std::string texts = ProgramDriver::Texts(box);
    if (texts.find(kReadDone) != std::string::npos)
        m_expectedAreas = SimLog::FramWords() == m_sensorFram ? m_sensorAreas : m_editedAreas;
    ProgramDriver::Press(box, IDOK);
    ASSERT_TRUE(ProgramDriver::WaitGone(box, kBoxMs)) << "the box stayed after OK:\n" << texts;
    if (texts.find("Firmware updating") != std::string::npos) {
        ASSERT_TRUE(m_driver.Answer("OK\n", IDOK, kStepMs)) << "no box asking for the sensor's restart";
    }
}

void PulledSensor::Pull(Kind kind, const Moment& m) {
    SCOPED_TRACE(m.when);
    const bool armed = m.pullAt != NULL && m.pullAt != kNever;
    const size_t hangups = SimLog::Lines("HANGUP").size();
    if (armed) {
        const size_t arms = SimLog::Lines("ARM").size();
        ASSERT_TRUE(SimLog::PullCable(m.pullAt, m.nth));
        ASSERT_TRUE(SimLog::WaitForCount("ARM", arms + 1, kStepMs)) << "the simulator took no pull";
    }
    ASSERT_TRUE(Begin(kind)) << "the operation did not start";
    if (armed) {
        ASSERT_TRUE(SimLog::WaitForCount("HANGUP", hangups + 1, kStepMs)) << "the request never came";
        m_pulled = true;
    }
    HWND box = m.box != NULL ? m_driver.WaitForDialog(m.box, kBoxMs) : NULL;
    ASSERT_TRUE(m.box == NULL || box != NULL) << "no box \"" << m.box << "\"; shown: " << ShownDialog();
    if (m.pullAt == NULL) {
        ASSERT_NO_FATAL_FAILURE(PullNow());
    }
    if (m_pulled) {
        ASSERT_TRUE(PaneShows(0)) << "pulled";
    }
    if (box != NULL && m_pulled && m.under != kAnswerThenPlugBack && !m_updateRan) {
        ASSERT_NO_FATAL_FAILURE(PlugBack());
        ASSERT_TRUE(PaneShows(1)) << "plugged back under the box";
        if (m.under == kPlugBackAndPullAgain) {
            ASSERT_NO_FATAL_FAILURE(PullNow());
            ASSERT_TRUE(PaneShows(0)) << "pulled again under the box";
        }
    }
    if (box != NULL) {
        ASSERT_NO_FATAL_FAILURE(AnswerResult(box));
    }
    ASSERT_TRUE(Answers()) << "the box answered";
    ASSERT_NO_FATAL_FAILURE(End(kind));
    if (m_pulled) {
        ASSERT_NO_FATAL_FAILURE(MoveAt(kCableOut));
        Sleep(m_backAfterMs);  // the moment the sensor comes back, not a wait for the program
        ASSERT_NO_FATAL_FAILURE(PlugBack());
    }
    // After an update the program has closed the port and asked for the
    // sensor's restart: the user chooses the port again.
    if (m_updateRan) ChoosePort();
    m_updateRan = false;
    ASSERT_NO_FATAL_FAILURE(MoveAt(kCableOut));  // the cable stayed in
    ASSERT_NO_FATAL_FAILURE(MoveAt(kComingBack));
    ASSERT_NO_FATAL_FAILURE(Restore());
    ASSERT_TRUE(PaneShows(1)) << "the sensor back on the port";
    EXPECT_EQ(m_expectedAreas, AreaTexts()) << "the unsaved areas changed";
}

}  // namespace

TEST_P(PulledSensor, AreaRead) {
    const Moment moments[] = {
        {"raising the link for the read", "a05a02", 1, kReadFailed, kAnswerThenPlugBack},
        {"at the read's first block", "a46901", 1, kReadFailed, kPlugBackUnderIt},
        {"at the read's second block", "a46902", 1, kReadFailed, kPlugBackAndPullAgain},
        {"under \"Area reading completed.\"", NULL, 0, kReadDone, kAnswerThenPlugBack},
        {"under \"Area reading completed.\", back under it", NULL, 0, kReadDone, kPlugBackUnderIt},
    };
    PullAtEach(kReadArea, moments);
}

TEST_P(PulledSensor, AreaWrite) {
    const Moment moments[] = {
        {"raising the link for the write", "a05a02", 1, kWriteFailed, kPlugBackUnderIt},
        {"at the write's first block", "a45a01", 1, kWriteFailed, kAnswerThenPlugBack},
        {"at the first commit", "a4a5", 1, kWriteFailedAny, kPlugBackAndPullAgain},
        {"at the write's second block", "a45a02", 1, kWritePartly, kPlugBackUnderIt},
        {"at the second commit", "a4a5", 2, kWritePartly, kAnswerThenPlugBack},
        {"under \"Area writing completed.\"", NULL, 0, kWriteDone, kAnswerThenPlugBack},
        {"under \"Area writing completed.\", back under it", NULL, 0, kWriteDone, kPlugBackUnderIt},
        {"under \"Area writing completed.\", back and pulled again", NULL, 0, kWriteDone,
         kPlugBackAndPullAgain},
    };
    PullAtEach(kWriteArea, moments);
}

TEST_P(PulledSensor, Realtime) {
    const Moment moments[] = {
        {"at a realtime scan request", "a269", 3, NULL, kAnswerThenPlugBack},
        {"at the link's keep-alive", "a05a01", 2, NULL, kAnswerThenPlugBack},
    };
    PullAtEach(kRealtime, moments);
}

// The update runs at 19200 baud only; the program closes the port after it.
TEST_P(PulledSensor, FirmwareUpdate) {
    const Moment moments[] = {
        {"raising the link for the update", "a05a03", 1, kUpdateFailed, kAnswerThenPlugBack},
        {"at the update's start", "af5a00", 1, kUpdateFailed, kAnswerThenPlugBack},
        {"at the erase", "af5a20", 1, kUpdateFailed, kAnswerThenPlugBack},
        {"at the page's programming", "af5a41", 1, kUpdateFailed, kAnswerThenPlugBack},
        {"at the page's read-back", "af5aff", 1, kUpdateFailed, kAnswerThenPlugBack},
        {"at the final reset", "af5a00", 2, kUpdateDone, kAnswerThenPlugBack},
        {"under \"Firmware updating completed.\"", NULL, 0, kUpdateDone, kAnswerThenPlugBack},
    };
    PullAtEach(kFirmwareUpdate, moments);
}

namespace {

// A request a pull may wait for, and how many such requests surely come.
struct Request {
    const char* hex;
    int most;
};

struct RandomKind {
    Kind kind;
    const char* result;  // a text every result box holds; NULL: none shows
    std::vector<Request> requests;
};

struct DialogCommand {
    WORD command;
    const char* caption;
};

}  // namespace

// One round: a random operation, the cable pulled at one of its requests or
// under its result box (or not at all), plugged back under the box or after.
void PulledSensor::RandomRound(std::mt19937& random, int round) {
    static const RandomKind kinds[] = {
        {kRealtime, NULL, {{"a269", 6}, {"a05a01", 3}}},
        {kReadArea, "Area reading", {{"a05a02", 1}, {"a46901", 1}, {"a46902", 1}}},
        {kWriteArea, "Area writing", {{"a05a02", 1}, {"a45a01", 1}, {"a4a5", 2}, {"a45a02", 1}}},
        {kDialog, NULL, {{"a269", 4}, {"a05a01", 2}}},
        // At a fixed rate only the new link's challenge, after the switch line:
        // a sensor pulled before it keeps its rate, and the program rightly
        // never links at the other one.
        {kBaudChange, NULL, {{"a069", 1}}},
        {kFirmwareUpdate, "Firmware updating", {{"a05a03", 1}, {"af5a20", 1}, {"af5a41", 1}, {"af5aff", 1}}},
    };
    static const DialogCommand dialogs[] = {
        {ID_COMM_SENSOR_INFO, "ZOR Infomation"},
        {ID_COMM_IO_TEST, "I/O Test"},
        {ID_AREA_NUMERICAL_INPUT, "Numerical Input"},
        {ID_COMM_RECORD, "Number to record"},
    };
    std::string moveText;
    m_move = RandomMove(random, &moveText);
    printf("round %d, the user's move: %s\n", round, moveText.c_str());
    fflush(stdout);
    if (m_move.at == kWhileLinked && m_move.kind != kNoMove) {
        ASSERT_NO_FATAL_FAILURE(MoveAt(kWhileLinked));
        ASSERT_NO_FATAL_FAILURE(Restore());
        ASSERT_TRUE(PaneShows(1)) << "linked after the user's move";
    }
    // The update needs 19200 baud, which the automatic set-up does not fix.
    const bool updates = !m_auto && m_rate == ID_SETTING_19200;
    const RandomKind& k = kinds[random() % (updates ? 6 : 5)];
    const DialogCommand& dialog = dialogs[random() % 4];
    m_dialog = dialog.command;
    m_caption = dialog.caption;
    if (k.kind == kBaudChange) m_rate = kRateItems[random() % 3].command;

    // Pulled at one of its requests, under its result box, or not at all.
    Moment m = {"", kNever, 0, k.result, static_cast<UnderTheBox>(random() % 3)};
    m_backAfterMs = random() % 3000;
    const size_t choice = random() % (k.requests.size() + (k.result != NULL ? 2 : 1));
    if (choice < k.requests.size()) {
        m.pullAt = k.requests[choice].hex;
        m.nth = 1 + static_cast<int>(random() % k.requests[choice].most);
    } else if (choice == k.requests.size() + 1) {
        m.pullAt = NULL;
    }
    static const char* const names[] = {"realtime",        "area read",   "area write",
                                        "firmware update", "baud change", "dialog "};
    static const char* const unders[] = {"", ", plugged back under the box",
                                         ", plugged back and pulled again under it"};
    std::string when =
        "round " + std::to_string(round) + ": " + names[k.kind] + (k.kind == kDialog ? m_caption : "");
    if (m.pullAt == kNever) {
        when += ", the cable stays in";
    } else {
        when += m.pullAt == NULL ? ", pulled under the box"
                                 : ", pulled at " + std::string(m.pullAt) + " no. " + std::to_string(m.nth);
        if (k.result != NULL) when += unders[m.under];
        when += ", out " + std::to_string(m_backAfterMs) + " ms more";
    }
    printf("%s\n", when.c_str());
    fflush(stdout);
    m.when = when.c_str();
    Pull(k.kind, m);
}

UserMove PulledSensor::RandomMove(std::mt19937& random, std::string* when) {
    static const char* const kinds[] = {"none", "rate item ", "Auto Recognition", "Disconnect",
                                        "the port again", "Read Area", "Write Area"};
    static const char* const points[] = {" while linked", " with the cable out", " as the sensor comes back"};
    UserMove move;
    move.kind = static_cast<MoveKind>(random() % 7);
    move.at = static_cast<MovePoint>(random() % 3);
    move.rate = kRateItems[random() % 3].command;
    move.delayMs = random() % 1500;
    // The transfers' items show only while linked.
    if ((move.kind == kReadAreaMove || move.kind == kWriteAreaMove) && move.at == kCableOut) move.at = kComingBack;
    *when = std::string(kinds[move.kind]) + (move.kind == kRateItem ? RateOf(move.rate) : "");
    if (move.kind != kNoMove) *when += points[move.at] + (", after " + std::to_string(move.delayMs) + " ms");
    return move;
}

// About two minutes (TIV_PULL_SOAK_S seconds) of random rounds from a seed
// (TIV_PULL_SEED, else a fixed one), which is printed to run them again.
TEST_P(PulledSensor, RandomPulls) {
    const DWORD seed = EnvNumber("TIV_PULL_SEED", 39);
    const DWORD seconds = EnvNumber("TIV_PULL_SOAK_S", 120);
    printf("seed %lu, %lu s\n", static_cast<unsigned long>(seed), static_cast<unsigned long>(seconds));
    std::mt19937 random(seed);
    const DWORD start = GetTickCount();
    int round = 0;
    while (GetTickCount() - start < seconds * 1000) {
        ASSERT_NO_FATAL_FAILURE(RandomRound(random, ++round)) << "seed " << seed;
        ASSERT_FALSE(HasFailure()) << "seed " << seed;
        const std::vector<std::string> faults = SimLog::Lines("FAULT");
        ASSERT_TRUE(faults.empty()) << "seed " << seed << ", the simulator reports: " << faults.front();
    }
    printf("%d rounds\n", round);
    EXPECT_EQ(1u, m_driver.Close());
}

INSTANTIATE_TEST_SUITE_P(Automatic, PulledSensor, ::testing::Values(kAutomatic));
INSTANTIATE_TEST_SUITE_P(At19200, PulledSensor, ::testing::Values(kAt19200));
