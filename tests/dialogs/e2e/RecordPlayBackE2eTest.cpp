// Recording, play-back and saving on the real device port against the sensor
// simulator's default scene: 20 realtime scans are recorded through the
// recording dialog with the real progress dialog, played back through the
// play-back dialog's slider and timer, and saved as a measuring data file.
#include <gtest/gtest.h>

#include "dialogs/DialogMessages.h"
#include "dialogs/PlayBackDlg.h"
#include "dialogs/RecordDlg.h"
#include "dialogs/RecordingView.h"
#include "framework/CriticalLock.h"
#include "framework/LanguageResource.h"
#include "protocol/DeviceMessages.h"
#include "protocol/DevicePort.h"
#include "resources/resource.h"
#include "sensor/MeasuringData.h"
#include "sensor/SensorCaps.h"
#include "sensor/WaveFormRecord.h"
#include "tests/dialogs/ModalDriver.h"
#include "tests/dialogs/ProgressDlgHost.h"
#include "tests/framework/TestSettings.h"
#include "tests/protocol/e2e/SimLog.h"
#include "tests/framework/StandInWindow.h"

#include <commctrl.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const int kScans = 20;

bool IsScene(const ScanData& scan) {
    for (int step = 0; step < ScanData::kStepCount; ++step)
        if (scan.GetStep(static_cast<WORD>(step)) != SimLog::SceneAt(step)) return false;
    return true;
}

// The main window as these dialogs need it: each scan from the sensor goes
// to the recording while it records; each scan posted by the play-back is
// noted; the end of the recording is counted.
class FrameStandIn : public ChildWindow {
public:
    FrameStandIn(RecordDlg* record, DevicePort* port, MeasuringData* data)
        : m_record(record), m_port(port), m_data(data) {
        AddMessageHandler(WM_DEVICE_SCAN, Handler(&FrameStandIn::OnScan));
        AddMessageHandler(WM_RECORD_END, Handler(&FrameStandIn::OnRecordEnd));
    }
    HWND CreateStandIn() { return CreateStandInWindow(this, "RecordFrameStandIn"); }
    LRESULT OnScan(WPARAM wParam, LPARAM) {
        const ScanData* posted = reinterpret_cast<const ScanData*>(wParam);
        if (posted == NULL) return 0;
        ScanData scan;
        {
            CriticalLock::Hold hold(m_port->GetHandOver()->GetLock());
            scan = *posted;
        }
        if (m_record->IsRecording()) {
            m_record->OnScan(scan);
            return 0;
        }
        // A realtime scan still on its way after the recording is no play-back.
        for (DWORD i = 0; i < m_data->Count(); ++i)
            if (m_data->GetAt(i) == posted) shown.push_back(posted);
        return 0;
    }
    LRESULT OnRecordEnd(WPARAM, LPARAM) {
        ++recordEnds;
        return 0;
    }

    std::vector<const ScanData*> shown;  // play-back scans, as posted
    int recordEnds = 0;

private:
    RecordDlg* m_record;
    DevicePort* m_port;
    MeasuringData* m_data;
};

// Not shown: it takes the recording's drawing requests.
class UnseenView : public RecordingView {
public:
    void RedrawRecording() override {}
    void DrawRecordedScan() override {}
};

class RecordPlayBackE2e : public ::testing::Test {
protected:
    RecordPlayBackE2e() : m_standIn(&m_record, &m_port, &m_data) {}

    void SetUp() override {
        m_com = SimLog::ComPort();
        if (m_com == 0) GTEST_SKIP() << "needs the sensor simulator (run through CTest)";
        ASSERT_GE(LanguageResource().Enumerate(GetModuleHandleA(NULL)), 1);
        ASSERT_NE(m_standIn.CreateStandIn(), (HWND)NULL);
        m_data.SetSensorCaps(&m_caps);
        m_port.SetApplication(&m_application);
        m_port.SetFrame(&m_standIn);
        m_port.SetWaveFormRecord(&m_waveForm);
        m_port.SetSensorCaps(&m_caps);
        ASSERT_EQ(m_port.CreateEvents(), 1);
        ASSERT_EQ(m_port.SelectDevice(0), 1);
        ASSERT_EQ(m_port.RequestOpen(m_com), 1);
        ASSERT_TRUE(ModalDriver::PumpUntil([this] { return m_port.GetLinkLevel() >= 1; }));
        m_record.SetApplication(&m_application);
        m_record.SetMainFrame(&m_standIn);
        m_record.SetDevicePort(&m_port);
        m_record.SetScanView(&m_view);
        m_record.SetMeasuringData(&m_data);
        m_playBack.SetMeasuringData(&m_data);
    }
    void TearDown() override { m_port.Detach(); }

    TestSettings m_file;  // first: the objects below write into it when they go
    int m_com = 0;
    SensorCaps m_caps;
    WaveFormRecord m_waveForm;
    MeasuringData m_data;
    ProgressDlgHost m_application;
    UnseenView m_view;
    RecordDlg m_record;
    PlayBackDlg m_playBack;
    DevicePort m_port;
    FrameStandIn m_standIn;
};

}  // namespace

TEST_F(RecordPlayBackE2e, TwentyScansOfTheSceneAreRecordedPlayedBackAndSaved) {
    // Record: Start, and the dialog ends by itself after the twentieth scan.
    ASSERT_TRUE(ModalDriver::Run(
        m_record,
        [this](HWND dialog) {
            SetDlgItemTextA(dialog, IDC_RECORD_COUNT, "20");
            SendMessageA(dialog, WM_COMMAND, IDOK, 0);
            ModalDriver::PumpUntil([this] { return !m_record.IsRecording(); });
        },
        [this] { m_record.Create(GetModuleHandleA(NULL), m_standIn.GetHwnd()); }));
    ModalDriver::PumpUntil([this] { return m_standIn.recordEnds > 0; });
    EXPECT_EQ(1, m_standIn.recordEnds);
    ASSERT_EQ(static_cast<DWORD>(kScans), m_data.Count());
    for (DWORD i = 0; i < m_data.Count(); ++i) EXPECT_TRUE(IsScene(*m_data.GetAt(i))) << "scan " << i;

    // Play back: the slider over every scan, then Play on the model's timer.
    m_standIn.shown.clear();
    std::string counter;
    ASSERT_TRUE(ModalDriver::Run(
        m_playBack,
        [&](HWND dialog) {
            HWND slider = GetDlgItem(dialog, IDC_PLAY_BACK_SLIDER);
            for (int pos = 1; pos < kScans; ++pos) {
                SendMessageA(slider, TBM_SETPOS, TRUE, pos);
                SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, pos), reinterpret_cast<LPARAM>(slider));
            }
            char text[32] = "";
            GetDlgItemTextA(dialog, IDC_PLAY_BACK_COUNTER, text, sizeof text);
            counter = text;
            SendMessageA(dialog, WM_COMMAND, IDC_PLAY_BACK_STOP, 0);
            SendMessageA(dialog, WM_COMMAND, IDC_PLAY_BACK_PLAY, 0);
            ModalDriver::PumpUntil([this] { return m_playBack.GetIndex() >= 2; });
            SendMessageA(dialog, WM_COMMAND, IDC_PLAY_BACK_STOP, 0);
            EndDialog(dialog, 0);
        },
        [this] { m_playBack.Create(GetModuleHandleA(NULL), m_standIn.GetHwnd()); }));
    ModalDriver::PumpUntil([] { return true; });  // the last posted scans
    EXPECT_EQ("20/20", counter);
    // Opening and the slider: each recorded scan once, in order; then Stop,
    // Play and two ticks of the timer.
    ASSERT_GE(m_standIn.shown.size(), static_cast<size_t>(kScans + 4));
    for (int i = 0; i < kScans; ++i) EXPECT_EQ(m_data.GetAt(i), m_standIn.shown[i]) << i;
    EXPECT_EQ(m_data.GetAt(2), m_standIn.shown[kScans + 3]);

    // Save: the header, then one line of the scene per scan.
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    const std::string path = std::string(folder) + "RecordPlayBackE2e.csv";
    ASSERT_TRUE(m_data.Save(path.c_str()));
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    file.close();
    DeleteFileA(path.c_str());
    const std::string saved = text.str();
    EXPECT_EQ(0u, saved.find("[ZOR Measuring Data File]\r\n"));
    const size_t data = saved.find("[Measuring Data]\n");
    ASSERT_NE(std::string::npos, data);
    std::string expected;
    for (int i = 0; i < kScans; ++i) expected += SimLog::SceneLine() + "\r\n";
    EXPECT_EQ(expected, saved.substr(data + 17));
}
