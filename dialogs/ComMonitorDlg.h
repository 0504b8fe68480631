#ifndef DIALOGS_COMMONITORDLG_H
#define DIALOGS_COMMONITORDLG_H

#include "dialogs/SensorDialog.h"

#include <deque>
#include <string>

// Shows the frames on the serial line, decoded.
// Template 651; its placement is kept in the settings section "ComMonitorDlg".
// User-interface thread only.
class ComMonitorDlg : public SensorDialog {
public:
    static const WORD kTemplate = 651;

    static const size_t kMaxFrames = 4096;

    ComMonitorDlg();
    ~ComMonitorDlg() override;

    // A frame on the line (direction 0 sent, 1 received); takes ownership
    // of the copy. The oldest frames go once kMaxFrames are kept.
    virtual void LogFrame(DWORD direction, std::string* frame);
    size_t FrameCount() const { return m_frames.size(); }
    const std::string& LastFrame() const { return m_frames.back().bytes; }

private:
    struct Frame {
        DWORD direction;
        std::string bytes;
    };
    std::deque<Frame> m_frames;
};

#endif
