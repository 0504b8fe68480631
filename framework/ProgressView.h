#ifndef FRAMEWORK_PROGRESSVIEW_H
#define FRAMEWORK_PROGRESSVIEW_H

#include "framework/TemplateDialog.h"

// What a long operation does with the progress window shown for it: set its
// texts and bar, let the user cancel or not, and see whether the window was
// closed. Code below the user interface (the device operations) holds the
// window through this, never through the dialog class itself.
class ProgressView : public TemplateDialog {
public:
    // Closes the window and joins its thread.
    virtual void End() = 0;
    // A value below 0x10000 is a string id of the current language.
    virtual void SetCaption(const char* textOrId) = 0;
    virtual void SetMessage(const char* textOrId) = 0;
    // 0..100; larger values fill the bar.
    virtual void SetPos(UINT percent) = 0;
    // 1 once the window is gone (ended, or closed by the user's Cancel).
    virtual BOOL IsDone() = 0;
    virtual void EnableCancel(BOOL enable) = 0;
};

#endif
