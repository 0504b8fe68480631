#ifndef FRAMEWORK_MESSAGEPUMP_H
#define FRAMEWORK_MESSAGEPUMP_H

#include <windows.h>

// <windows.h> defines Yield() away, a relic of 16-bit Windows.
#undef Yield

// The calling thread's share of the system: the messages waiting in its
// queue, and the processor. The application object offers it to code that
// waits on the user-interface thread (the progress dialog's start) and to the
// scan view's render thread, which yields between its passes.
class MessagePump {
public:
    virtual ~MessagePump() {}
    // Handles every message waiting in the calling thread's queue and returns.
    virtual void PumpMessages() = 0;
    // Gives the processor to another thread that is ready to run; 0 when
    // none ran or the system does not switch.
    virtual BOOL Yield() = 0;
};

#endif
