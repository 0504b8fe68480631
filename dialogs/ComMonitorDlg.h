#ifndef DIALOGS_COMMONITORDLG_H
#define DIALOGS_COMMONITORDLG_H

#include <memory>
#include <string>
#include <vector>

#include "dialogs/MonitorDecoder.h"
#include "dialogs/SensorDialog.h"
#include "framework/OwnedModule.h"

// Shows every message on the serial line, sent and received, one coloured
// line each, decoded per command, filtered by the boxes of its command and
// sub-command row, by direction and by whether it could be decoded. While
// "Monitor" is down the device echoes every message to the main frame,
// which hands each one to LogFrame.
//
// The log is a rich edit 1.0 control. LogFrame only decodes and queues the
// line, so the device thread that waits for it is held briefly; the queued
// lines go into the log in one batch with redrawing off, and the oldest
// lines are trimmed so that a long run keeps showing new ones.
// Template 651; its placement and size are kept in the settings section
// "ComMonitorDlg". User-interface thread only.
class ComMonitorDlg : public SensorDialog {
public:
    static const WORD kTemplate = 651;
    // The log holds at most this many characters after a batch; above it
    // the oldest lines go, down to kKeptChars.
    static constexpr size_t kTrimAboveChars = 256 * 1024;
    static constexpr size_t kKeptChars = 192 * 1024;

    ComMonitorDlg();
    ~ComMonitorDlg() override;

    // Modeless; 0 without the sensor capabilities or the device port, or
    // when already open.
    HWND Create(HINSTANCE instance, HWND parent) override;
    // Nothing depends on the sensor's capabilities.
    virtual void UpdateControls();
    // Checks or clears every enabled filter box and the direction and
    // "Undefined" boxes.
    virtual void CheckAll(BOOL state);
    // One message (command byte to CRC) sent (direction 0) or received (1),
    // which the dialog takes over; returns 1.
    virtual int LogFrame(DWORD direction, std::unique_ptr<std::string> message);
    virtual LRESULT OnCheckAll(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnClearAll(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnErase(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnMonitor(WORD id, WORD notifyCode, LPARAM hwndCtl);
    // Inserts the queued lines.
    virtual LRESULT OnFlush(WPARAM wParam, LPARAM lParam);
    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnSize(WPARAM wParam, LPARAM lParam) override;

    // The messages handed over so far and the last one, as handed over.
    size_t FrameCount() const { return m_frameCount; }
    const std::string& LastFrame() const { return m_lastFrame; }

private:
    struct Line {
        std::string text;
        COLORREF colour;
    };

    HWND GetLog();
    MonitorDecoder::Filter ReadFilter();
    void Queue(const std::string& text, COLORREF colour);
    void SelectEnd();
    void Insert(const std::string& text, COLORREF colour);
    void TrimLog();
    void LayoutLog(int width, int height);

    OwnedModule m_richEdit;     // keeps the RICHEDIT window class registered
    MonitorDecoder m_decoder;
    std::vector<Line> m_queue;  // lines waiting for the flush, oldest first
    size_t m_queuedChars;
    bool m_flushPosted;
    size_t m_frameCount;
    std::string m_lastFrame;
};

#endif
