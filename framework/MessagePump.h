#ifndef FRAMEWORK_MESSAGEPUMP_H
#define FRAMEWORK_MESSAGEPUMP_H

// Handles every message waiting in the calling thread's queue and returns.
// The application object offers this to code that waits on the
// user-interface thread (the progress dialog's start).
class MessagePump {
public:
    virtual ~MessagePump() {}
    virtual void PumpMessages() = 0;
};

#endif
