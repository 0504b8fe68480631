#ifndef FRAMEWORK_MESSAGETARGET_H
#define FRAMEWORK_MESSAGETARGET_H

#include <windows.h>

#include <map>

class MessageTarget;

// Bound to virtual members, so a derived override receives the message
// without registering again.
typedef LRESULT (MessageTarget::*MessageHandler)(WPARAM wParam, LPARAM lParam);
typedef LRESULT (MessageTarget::*CommandHandler)(WORD id, WORD notifyCode, LPARAM hwndCtl);

// Root of every object that receives messages: a message map and a command
// map, filled in constructors, read by the one thread that dispatches.
class MessageTarget {
public:
    MessageTarget();
    virtual ~MessageTarget();

    virtual int AddMessageHandler(UINT msg, MessageHandler handler);
    virtual int RemoveMessageHandler(UINT msg);
    virtual int HasMessageHandler(UINT msg);
    virtual LRESULT CallMessageHandler(UINT msg, WPARAM wParam, LPARAM lParam);
    virtual int AddCommandHandler(WORD id, CommandHandler handler);
    virtual int RemoveCommandHandler(WORD id);
    virtual int HasCommandHandler(WORD id);
    virtual LRESULT CallCommandHandler(WORD id, WORD notifyCode, LPARAM lParam);

private:
    MessageTarget(const MessageTarget&) = delete;
    MessageTarget& operator=(const MessageTarget&) = delete;

    std::map<UINT, MessageHandler> m_messageMap;
    std::map<WORD, CommandHandler> m_commandMap;
};

// Registration helpers: AddMessageHandler(WM_X, Handler(&Derived::OnX)).
template <class T>
MessageHandler Handler(LRESULT (T::*member)(WPARAM, LPARAM)) {
    return static_cast<MessageHandler>(member);
}
template <class T>
CommandHandler Command(LRESULT (T::*member)(WORD, WORD, LPARAM)) {
    return static_cast<CommandHandler>(member);
}

#endif
