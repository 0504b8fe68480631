#ifndef FRAMEWORK_POSTEDOBJECT_H
#define FRAMEWORK_POSTEDOBJECT_H

#include <windows.h>

#include <memory>

// An object that travels in a posted message's parameter, to another thread
// or to a later turn of the same thread's loop. The message holds it only
// once the post succeeded: Post leaves it with the sender when the post
// fails. The receiver takes it back into an owner at once with Take. A
// receiver that goes away with such messages still queued (its window
// destroyed, its thread's loop ended) drains them, so that none is lost with
// its message; it makes sure first that nothing more can be posted to it.
template <class T>
class PostedObject {
public:
    typedef typename std::unique_ptr<T>::pointer Pointer;
    enum Carrier { kInWParam, kInLParam };

    // post(value) posts the message with value as the object's parameter and
    // returns the post's result.
    template <class Poster>
    static BOOL Post(std::unique_ptr<T>& object, Poster post) {
        if (object == nullptr || !post(reinterpret_cast<ULONG_PTR>(object.get()))) return FALSE;
        object.release();
        return TRUE;
    }

    static std::unique_ptr<T> Take(ULONG_PTR parameter) {
        return std::unique_ptr<T>(reinterpret_cast<Pointer>(parameter));
    }

    // Takes the messages of that number off the calling thread's queue (those
    // posted to window; ThreadMessages(): those posted to the thread itself)
    // and hands each object to receive, which gets a std::unique_ptr<T>. Sent
    // messages wait: nothing re-enters the receiver while it goes. Returns the
    // number drained.
    template <class Receiver>
    static int Drain(HWND window, UINT message, Carrier carrier, Receiver receive) {
        int drained = 0;
        MSG msg;
        while (PeekMessageA(&msg, window, message, message, PM_REMOVE | PM_QS_POSTMESSAGE)) {
            if (msg.message == WM_QUIT) {
                // Handed out whatever the filter, once no message of the
                // number is left: it goes back for the loop.
                PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            receive(Take(carrier == kInWParam ? msg.wParam : static_cast<ULONG_PTR>(msg.lParam)));
            ++drained;
        }
        return drained;
    }
    // The same, deleting each object.
    static int Drain(HWND window, UINT message, Carrier carrier) {
        return Drain(window, message, carrier, [](std::unique_ptr<T>) {});
    }

    // The window to drain a thread's own messages, posted to no window.
    static HWND ThreadMessages() { return reinterpret_cast<HWND>(-1); }
};

#endif
