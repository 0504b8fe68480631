#ifndef DIALOGS_WAVEFORMDLG_H
#define DIALOGS_WAVEFORMDLG_H

#include <string>

#include "dialogs/SensorDialog.h"
#include "dialogs/WaveFormCanvas.h"
#include "dialogs/WaveFormLayout.h"
#include "dialogs/WaveFormLog.h"
#include "dialogs/WaveFormStatistic.h"

class WaveFormSample;

// Shows the statistics of the sensor's waveform reports at one step, for
// one of the two modulation frequencies or for both in turn. The user picks
// the step and the frequency; the dialog switches the sensor's waveform
// reporting on for them and, on each report the frame hands on, keeps
// running statistics and paints them as text over a dark grid. With "Both"
// it logs one comma-separated line per pair of reports and offers the log
// as a file when a run of samples is complete.
//
// The dialog holds at most one switch-on of the device port's waveform
// switch and gives it back once, when its window goes, so the reporting
// never outlives it.
// Template 648; its placement and size are kept in the settings section
// "WaveFormDlg". User-interface thread only.
class WaveFormDlg : public SensorDialog {
public:
    static const WORD kTemplate = 648;
    static const WORD kFirstStep = 384;

    WaveFormDlg();
    // Closes the window while the members it releases still exist.
    ~WaveFormDlg() override;

    // Gives the waveform switch back before the device port goes.
    void Reset() override;
    // Modeless; 0 without a device port, waveform record or sensor
    // information, or when already open.
    HWND Create(HINSTANCE instance, HWND parent) override;
    // The record holds a new report: the single-frequency display.
    virtual void ShowWaveForm();
    // Enables the controls for a sensor of model code 0 only.
    void UpdateControls() override;
    // The record holds a new report: the "Both" display and its log.
    virtual void ShowStatistics();
    // Forgets every sample; the last FMAX and BMAX and the log stay.
    virtual void ClearStatistics();
    virtual LRESULT OnSettingChanged(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnStart(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnStop(WORD id, WORD notifyCode, LPARAM hwndCtl);
    // Writes the log file; FALSE when it cannot be written.
    virtual BOOL SaveCsv(const char* path);
    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnSize(WPARAM wParam, LPARAM lParam) override;

    // What the display shows: the single or set-0 text (column 0), the
    // set-1 text in "Both" (column 1), the flag text (column 2).
    const std::string& GetShownText(int column) const { return m_shown[column]; }
    const WaveFormLog& GetLog() const { return m_log; }
    BOOL IsStopped() const { return m_stopped; }
    WORD GetStep() const { return m_step; }
    const WaveFormCanvas& GetCanvas() const { return m_canvas; }
    // Where the last drawn texts stand on the canvas, and in which font.
    const WaveFormLayout& GetLayout() const { return m_layout; }

private:
    enum Statistic { kDistance, kLevel, kAgc, kFmax, kFmin, kBmax, kBmin, kStatistics };
    enum Shown { kMainText, kSecondText, kFlagText, kShownTexts };

    void TakeSingle(const WaveFormSample& sample);
    void TakeBoth(const WaveFormSample& sample);
    // A BMAX or FMAX sample of the "Both" display; TRUE when it stopped it.
    BOOL TakeBothPeak(WaveFormStatistic* statistic, WORD value);
    void LogPair();
    void OfferLog();
    void Draw();
    BOOL DisplayRect(HWND* display, RECT* client);
    WORD ReadStep();
    void RequestWaveForm();
    void ReleaseWaveForm();

    WaveFormCanvas m_canvas;
    WaveFormLayout m_layout;
    WaveFormLog m_log;
    BOOL m_nonStop;  // the "non stop" box at the last settings change
    BOOL m_stopped;  // reports are ignored until "Start"
    WORD m_step;
    BYTE m_frequencyFlag;  // 1 = F1, 0 = F0 or "Both"
    BYTE m_pairCount;      // reports counted towards the next "Both" display
    BOOL m_waveFormHeld;   // this dialog's switch-on of the waveform reporting
    WaveFormStatistic m_single[kStatistics];
    WaveFormStatistic m_both[2][kStatistics];  // by channel
    std::string m_shown[kShownTexts];
};

#endif
