#include "dialogs/WaveFormDlg.h"

#include "dialogs/WaveFormSample.h"
#include "framework/MsgBox.h"
#include "protocol/DeviceHost.h"
#include "protocol/DevicePort.h"
#include "resources/resource.h"
#include "sensor/SensorCaps.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace {

const int kControls[] = {IDC_WAVE_STEP, IDC_WAVE_SET, IDC_WAVE_START, IDC_WAVE_STOP,
                         IDC_WAVE_F1,   IDC_WAVE_F0,  IDC_WAVE_BOTH,  IDC_WAVE_NON_STOP};
const WORD kWaveFormModel = 0;  // the only model whose waveform can be shown

// The values of the lines that show one report rather than a statistic.
struct ReportLines {
    WORD distance, level, agc, fmax, bmax;
};

void AppendFormat(std::string* text, const char* fmt, ...) __attribute__((format(gnu_printf, 2, 3)));

void AppendFormat(std::string* text, const char* fmt, ...) {
    char piece[128];
    va_list args;
    va_start(args, fmt);
    const int length = vsnprintf(piece, sizeof piece, fmt, args);
    va_end(args);
    if (length > 0) text->append(piece);
}

void AppendMillivolts(std::string* text, const char* fmt, int (*millivolts)(WORD), WORD value) {
    AppendFormat(text, fmt, millivolts(value), value);
}

// The statistics text of one set; the peak byte lines only in the
// single-frequency display.
std::string StatisticsText(const WaveFormStatistic* set, const ReportLines& report, const WaveFormSample* peaks) {
    enum { kDistance, kLevel, kAgc, kFmax, kFmin, kBmax, kBmin };
    const auto level = &WaveFormSample::LevelMillivolts;
    const auto agc = &WaveFormSample::AgcMillivolts;
    std::string text;
    AppendFormat(&text, "Distance %5dmm", report.distance);
    AppendFormat(&text, "\nAvg %5dmm", set[kDistance].GetAverage());
    AppendFormat(&text, "\nMax %5dmm", set[kDistance].GetMaximum());
    AppendFormat(&text, "\nMin %5dmm", set[kDistance].GetMinimum());
    AppendMillivolts(&text, "\n\nLevel  %4dmV(%5d)", level, report.level);
    AppendMillivolts(&text, "\nAvg  %4dmV(%5d)", level, set[kLevel].GetAverage());
    AppendMillivolts(&text, "\nMax  %4dmV(%5d)", level, set[kLevel].GetMaximum());
    AppendMillivolts(&text, "\nMin  %4dmV(%5d)", level, set[kLevel].GetMinimum());
    AppendMillivolts(&text, "\n\nAGC  %4dmV(%4d)", agc, report.agc);
    AppendMillivolts(&text, "\nAvg  %4dmV(%4d)", agc, set[kAgc].GetAverage());
    AppendMillivolts(&text, "\nMax  %4dmV(%4d)", agc, set[kAgc].GetMaximum());
    AppendMillivolts(&text, "\nMin  %4dmV(%4d)", agc, set[kAgc].GetMinimum());
    if (peaks != NULL) {
        AppendFormat(&text, "\n\nFMAX:%3d  FMIN:%3d", peaks->GetFmax(), peaks->GetFmin());
        AppendFormat(&text, "\nBMAX:%3d  BMIN:%3d", peaks->GetBmax(), peaks->GetBmin());
    }
    AppendFormat(&text, "\n\nFMAX  %3d", report.fmax);
    AppendFormat(&text, "\nMax  %3d", set[kFmax].GetMaximum());
    AppendFormat(&text, "\nMin  %3d", set[kFmax].GetMinimum());
    AppendFormat(&text, "\n\nBMAX  %3d", report.bmax);
    AppendFormat(&text, "\nMax  %3d", set[kBmax].GetMaximum());
    AppendFormat(&text, "\nMin  %3d", set[kBmax].GetMinimum());
    return text;
}

// The four trouble flags, one per line; the line feeds stay without them so
// that each text keeps its line.
std::string FlagText(BYTE flags) {
    std::string text;
    text += (flags & 0x02) ? "Phase Collapsed" : "";
    text += "\n";
    text += (flags & 0x04) ? "Waveform Collapsed" : "";
    text += "\n";
    text += (flags & 0x08) ? "Level Shortage" : "";
    text += "\n";
    text += (flags & 0x10) ? "Unstable Data" : "";
    return text;
}

}  // namespace

WaveFormDlg::WaveFormDlg()
    : SensorDialog("WaveFormDlg"),
      m_nonStop(FALSE),
      m_stopped(FALSE),
      m_step(kFirstStep),
      m_frequencyFlag(1),
      m_pairCount(0),
      m_waveFormHeld(FALSE) {
    static const int kSettings[] = {IDC_WAVE_SET, IDC_WAVE_F1, IDC_WAVE_F0, IDC_WAVE_BOTH, IDC_WAVE_NON_STOP};
    for (int id : kSettings) AddCommandHandler(id, Command(&WaveFormDlg::OnSettingChanged));
    AddCommandHandler(IDC_WAVE_START, Command(&WaveFormDlg::OnStart));
    AddCommandHandler(IDC_WAVE_STOP, Command(&WaveFormDlg::OnStop));
}

WaveFormDlg::~WaveFormDlg() {
    Destroy();
}

void WaveFormDlg::Reset() {
    ReleaseWaveForm();
    SensorDialog::Reset();
}

HWND WaveFormDlg::Create(HINSTANCE instance, HWND parent) {
    if (GetWaveFormRecord() == NULL || GetSensorCaps() == NULL) return NULL;
    return CreateWithPort(instance, parent, kTemplate);
}

LRESULT WaveFormDlg::OnInitDialog(WPARAM wParam, LPARAM lParam) {
    m_canvas.Make(GetDlgItem(GetHwnd(), IDC_WAVE_DISPLAY));
    // The dialog opens on F1, and the kept state says so too.
    m_frequencyFlag = 1;
    if (GetApplication() != NULL) GetApplication()->SetWaveFormBoth(0);
    RequestWaveForm();
    SetDlgItemInt(GetHwnd(), IDC_WAVE_STEP, m_step, FALSE);
    CheckRadioButton(GetHwnd(), IDC_WAVE_F1, IDC_WAVE_BOTH, IDC_WAVE_F1);
    m_log.Clear();
    ClearStatistics();
    for (std::string& text : m_shown) text.clear();
    m_stopped = FALSE;
    m_nonStop = FALSE;
    UpdateControls();
    return SensorDialog::OnInitDialog(wParam, lParam);
}

LRESULT WaveFormDlg::OnDestroy(WPARAM wParam, LPARAM lParam) {
    ReleaseWaveForm();
    m_canvas.Release();
    return SensorDialog::OnDestroy(wParam, lParam);
}

LRESULT WaveFormDlg::OnSize(WPARAM wParam, LPARAM lParam) {
    HWND display = GetDlgItem(GetHwnd(), IDC_WAVE_DISPLAY);
    if (display != NULL && wParam != SIZE_MINIMIZED) {
        // The margins right and below equal the one on the left.
        RECT place;
        GetWindowRect(display, &place);
        MapWindowPoints(NULL, GetHwnd(), reinterpret_cast<POINT*>(&place), 2);
        const int width = LOWORD(lParam) - 2 * place.left;
        const int height = HIWORD(lParam) - place.top - place.left;
        MoveWindow(display, place.left, place.top, width, height, TRUE);
    }
    return SensorDialog::OnSize(wParam, lParam);
}

void WaveFormDlg::UpdateControls() {
    if (GetSensorCaps() == NULL || !IsOpen()) return;
    const BOOL enable = GetSensorCaps()->GetModel() == kWaveFormModel;
    for (int id : kControls) EnableWindow(GetDlgItem(GetHwnd(), id), enable);
}

void WaveFormDlg::ClearStatistics() {
    m_pairCount = 0;
    WaveFormStatistic* sets[] = {m_single, m_both[0], m_both[1]};
    for (WaveFormStatistic* set : sets) {
        for (int s = 0; s < kStatistics; ++s) set[s].Clear();
        set[kDistance].SetCurrent(0);
        set[kLevel].SetCurrent(0);
        set[kAgc].SetCurrent(0);
    }
}

void WaveFormDlg::ShowWaveForm() {
    if (!IsOpen() || GetWaveFormRecord() == NULL || m_stopped) return;
    const WaveFormSample sample(*GetWaveFormRecord());
    const int f1 = IsDlgButtonChecked(GetHwnd(), IDC_WAVE_F1) == BST_CHECKED;
    if (sample.GetChannel() != f1) return;
    TakeSingle(sample);
    const ReportLines report = {sample.GetDistance(), sample.GetLevel(), sample.GetAgc(), sample.GetFmax(),
                                sample.GetBmax()};
    m_shown[kMainText] = StatisticsText(m_single, report, &sample);
    m_shown[kSecondText].clear();
    m_shown[kFlagText] = FlagText(sample.GetFlags());
    Draw();
}

void WaveFormDlg::TakeSingle(const WaveFormSample& sample) {
    if (sample.IsDistanceValid()) m_single[kDistance].AddAveraged(sample.GetDistance());
    if (sample.GetLevel() != 0) m_single[kLevel].AddAveraged(sample.GetLevel());
    if (sample.GetAgc() != 0) m_single[kAgc].AddAveraged(sample.GetAgc());
    const WORD peaks[] = {sample.GetFmax(), sample.GetFmin(), sample.GetBmax(), sample.GetBmin()};
    const Statistic statistics[] = {kFmax, kFmin, kBmax, kBmin};
    // A full run of peak samples stops the display, "non stop" or not; the
    // report that completes it is still shown.
    for (int p = 0; p < 4; ++p)
        if (peaks[p] != 0 && m_single[statistics[p]].AddPeak(peaks[p])) m_stopped = TRUE;
}

void WaveFormDlg::ShowStatistics() {
    if (!IsOpen() || GetWaveFormRecord() == NULL || m_stopped) return;
    const WaveFormSample sample(*GetWaveFormRecord());
    if (sample.GetAgc() == 0) return;
    if (m_pairCount < 2) ++m_pairCount;
    TakeBoth(sample);
    if (m_pairCount < 2) return;
    m_pairCount = 0;
    for (int channel = 0; channel < 2; ++channel) {
        const WaveFormStatistic* set = m_both[channel];
        const ReportLines current = {set[kDistance].GetCurrent(), set[kLevel].GetCurrent(), set[kAgc].GetCurrent(),
                                     set[kFmax].GetCurrent(), set[kBmax].GetCurrent()};
        m_shown[kMainText + channel] = StatisticsText(set, current, NULL);
    }
    m_shown[kFlagText].clear();
    if (m_nonStop) m_log.Clear();
    LogPair();
    Draw();
}

void WaveFormDlg::TakeBoth(const WaveFormSample& sample) {
    WaveFormStatistic* set = m_both[sample.GetChannel()];
    const WORD values[] = {sample.GetDistance(), sample.GetLevel(), sample.GetAgc()};
    const BOOL accepted[] = {sample.IsDistanceValid(), sample.GetLevel() != 0, sample.GetAgc() != 0};
    for (int s = kDistance; s <= kAgc; ++s) {
        if (!accepted[s]) continue;
        set[s].SetCurrent(values[s]);
        set[s].AddAveraged(values[s]);
    }
    if (sample.GetFmax() != 0) TakeBothPeak(&set[kFmax], sample.GetFmax());
    if (sample.GetBmax() != 0 && TakeBothPeak(&set[kBmax], sample.GetBmax())) OfferLog();
}

BOOL WaveFormDlg::TakeBothPeak(WaveFormStatistic* statistic, WORD value) {
    statistic->SetCurrent(value);
    const BOOL runDone = statistic->AddPeakInRuns(value);
    if (!runDone || m_nonStop) return FALSE;
    m_stopped = TRUE;
    return TRUE;
}

void WaveFormDlg::LogPair() {
    const WaveFormStatistic* a = m_both[0];
    const WaveFormStatistic* b = m_both[1];
    const int values[WaveFormLog::kValues] = {
        a[kDistance].GetCurrent(), a[kLevel].GetCurrent(), a[kAgc].GetCurrent(), a[kFmax].GetCurrent(),
        a[kBmax].GetCurrent(),     b[kDistance].GetCurrent(), b[kLevel].GetCurrent(), b[kAgc].GetCurrent(),
        b[kFmax].GetCurrent(),     b[kBmax].GetCurrent()};
    // A full log drops the line rather than cutting it.
    m_log.AppendLine(values);
}

// A run of samples is complete: the log is offered as a file. Cancelling
// keeps it, and so does a save that failed, so that it can be saved at the
// next offer; a saved log starts afresh.
void WaveFormDlg::OfferLog() {
    char path[MAX_PATH] = "";
    DeviceHost* application = GetApplication();
    if (application == NULL || !application->SaveMeasurementFileDialog(path, sizeof path)) return;
    if (!SaveCsv(path)) {
        MsgBox().ShowIdOwner(GetHwnd(), IDS_CANNOT_OPEN_FILE, MB_OK | MB_ICONERROR);
        return;
    }
    m_log.Clear();
}

BOOL WaveFormDlg::SaveCsv(const char* path) {
    return m_log.Save(path);
}

BOOL WaveFormDlg::DisplayRect(HWND* display, RECT* client) {
    *display = GetDlgItem(GetHwnd(), IDC_WAVE_DISPLAY);
    return *display != NULL && GetClientRect(*display, client);
}

// The texts laid out so that every row shows in the display's present size:
// set 1 left of set 0 in "Both", the flags under the single set's statistics.
void WaveFormDlg::Draw() {
    HWND display;
    RECT client;
    if (!DisplayRect(&display, &client)) return;
    std::vector<std::string> texts;
    std::vector<COLORREF> colours;
    if (!m_shown[kSecondText].empty()) {
        texts.push_back(m_shown[kSecondText]);
        colours.push_back(WaveFormCanvas::kSecondColour);
    }
    texts.push_back(m_shown[kMainText]);
    colours.push_back(WaveFormCanvas::kStatisticsColour);
    const SIZE size = {client.right - client.left, client.bottom - client.top};
    m_layout.Arrange(texts, m_shown[kFlagText], size, m_canvas.GetFonts());
    m_canvas.Paint(client);
    m_canvas.UseFont(m_layout.GetFontIndex());
    for (const WaveFormLayout::Piece& piece : m_layout.GetPieces()) {
        if (piece.source < 0) {
            m_canvas.Write(piece.text, piece.rect, WaveFormCanvas::kFlagColour, DT_LEFT);
        } else {
            m_canvas.Write(piece.text, piece.rect, colours[piece.source], DT_RIGHT);
        }
    }
    m_canvas.CopyTo(display, client);
}

LRESULT WaveFormDlg::OnSettingChanged(WORD, WORD, LPARAM) {
    m_step = ReadStep();
    m_frequencyFlag = IsDlgButtonChecked(GetHwnd(), IDC_WAVE_F1) == BST_CHECKED ? 1 : 0;
    RequestWaveForm();
    m_nonStop = IsDlgButtonChecked(GetHwnd(), IDC_WAVE_NON_STOP) == BST_CHECKED;
    if (GetApplication() != NULL)
        GetApplication()->SetWaveFormBoth(IsDlgButtonChecked(GetHwnd(), IDC_WAVE_BOTH) == BST_CHECKED ? 1 : 0);
    return 0;
}

// The typed step, 0 when it is no number, kept in 16 bits; it goes to the
// sensor as typed, whatever the sensor's step count.
WORD WaveFormDlg::ReadStep() {
    BOOL number = FALSE;
    const UINT step = GetDlgItemInt(GetHwnd(), IDC_WAVE_STEP, &number, FALSE);
    return number ? static_cast<WORD>(step) : 0;
}

LRESULT WaveFormDlg::OnStart(WORD, WORD, LPARAM) {
    m_stopped = FALSE;
    ClearStatistics();
    return 0;
}

LRESULT WaveFormDlg::OnStop(WORD, WORD, LPARAM) {
    m_stopped = TRUE;
    return 0;
}

// The first request switches the reporting on; later ones change step and
// flag with a second switch-on given back at once, so the dialog's count
// stays one.
void WaveFormDlg::RequestWaveForm() {
    DevicePort* port = GetDevicePort();
    if (port == NULL) return;
    if (!m_waveFormHeld) {
        m_waveFormHeld = port->SetWaveForm(1, m_step, m_frequencyFlag) != 0;
        return;
    }
    port->SetWaveForm(1, m_step, m_frequencyFlag);
    port->SetWaveForm(0, m_step, m_frequencyFlag);
}

void WaveFormDlg::ReleaseWaveForm() {
    if (!m_waveFormHeld) return;
    m_waveFormHeld = FALSE;
    if (GetDevicePort() != NULL) GetDevicePort()->SetWaveForm(0, 0, 0);
}
