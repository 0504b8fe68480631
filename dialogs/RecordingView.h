#ifndef DIALOGS_RECORDINGVIEW_H
#define DIALOGS_RECORDINGVIEW_H

// What the recording dialog asks of the view that shows the measuring data
// while it is being recorded. The scan view implements it.
// User-interface thread only.
class RecordingView {
public:
    virtual ~RecordingView() {}
    // The measuring data was cleared for a new recording: its picture is
    // built anew.
    virtual void RedrawRecording() = 0;
    // A scan was appended to the measuring data: it is added to the picture
    // without a rebuild.
    virtual void DrawRecordedScan() = 0;
};

#endif
