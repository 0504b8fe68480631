#include "framework/MessageTarget.h"

MessageTarget::MessageTarget() {}

MessageTarget::~MessageTarget() {
    m_commandMap.clear();
    m_messageMap.clear();
}

int MessageTarget::AddMessageHandler(UINT msg, MessageHandler handler) {
    m_messageMap[msg] = handler;
    return 1;
}

int MessageTarget::RemoveMessageHandler(UINT msg) {
    return static_cast<int>(m_messageMap.erase(msg));
}

int MessageTarget::HasMessageHandler(UINT msg) {
    return m_messageMap.count(msg) ? 1 : 0;
}

LRESULT MessageTarget::CallMessageHandler(UINT msg, WPARAM wParam, LPARAM lParam) {
    std::map<UINT, MessageHandler>::const_iterator it = m_messageMap.find(msg);
    if (it == m_messageMap.end() || it->second == nullptr) return 0;
    return (this->*(it->second))(wParam, lParam);
}

int MessageTarget::AddCommandHandler(WORD id, CommandHandler handler) {
    m_commandMap[id] = handler;
    return 1;
}

int MessageTarget::RemoveCommandHandler(WORD id) {
    return static_cast<int>(m_commandMap.erase(id));
}

int MessageTarget::HasCommandHandler(WORD id) {
    return m_commandMap.count(id) ? 1 : 0;
}

LRESULT MessageTarget::CallCommandHandler(WORD id, WORD notifyCode, LPARAM lParam) {
    std::map<WORD, CommandHandler>::const_iterator it = m_commandMap.find(id);
    if (it == m_commandMap.end() || it->second == nullptr) return 0;
    return (this->*(it->second))(id, notifyCode, lParam);
}
