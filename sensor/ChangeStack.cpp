#include "sensor/ChangeStack.h"

ChangeStack::ChangeStack(size_t maxWords) : m_maxWords(maxWords) {}

void ChangeStack::Push(const WORD* payload, int count, WORD code) {
    for (int i = 0; i < count; ++i) m_words.push_back(payload[i]);
    m_words.push_back(code);
    m_entryLengths.push_back(count + 1);
    // Keep at least the newest entry, however small the limit.
    while (m_words.size() > m_maxWords && m_entryLengths.size() > 1) {
        m_words.erase(m_words.begin(), m_words.begin() + m_entryLengths.front());
        m_entryLengths.pop_front();
    }
}

int ChangeStack::Pop(WORD* code, WORD* payload, int cap) {
    if (m_words.empty()) return -1;
    int count = m_entryLengths.back() - 1;
    m_entryLengths.pop_back();
    *code = m_words.back();
    m_words.pop_back();
    for (int i = 0; i < count; ++i) {
        if (i < cap) payload[i] = m_words.back();
        m_words.pop_back();
    }
    return count;
}

void ChangeStack::Clear() {
    m_words.clear();
    m_entryLengths.clear();
}
