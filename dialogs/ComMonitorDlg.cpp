#include "dialogs/ComMonitorDlg.h"

ComMonitorDlg::ComMonitorDlg() : SensorDialog("ComMonitorDlg") {}

ComMonitorDlg::~ComMonitorDlg() {}

void ComMonitorDlg::LogFrame(DWORD direction, std::string* frame) {
    if (frame == NULL) return;
    Frame entry;
    entry.direction = direction;
    entry.bytes.swap(*frame);
    delete frame;
    m_frames.push_back(entry);
    if (m_frames.size() > kMaxFrames) m_frames.pop_front();
}
