#ifndef SENSOR_CHANGESTACK_H
#define SENSOR_CHANGESTACK_H

#include <windows.h>

#include <deque>

// A bounded stack of change entries in 16-bit words: each entry is its payload
// words followed by its change code. When a push takes the stack over its
// word limit, whole entries are dropped from the bottom (the oldest changes),
// so the history never grows without bound and never keeps half an entry.
class ChangeStack {
public:
    static const size_t kDefaultMaxWords = 65536;

    explicit ChangeStack(size_t maxWords = kDefaultMaxWords);

    // payload is in push order; the code goes on top.
    void Push(const WORD* payload, int count, WORD code);
    // Pops the top entry: its code, and its payload in pop order (last pushed
    // first), storing at most cap words. Returns the entry's payload count
    // (which may exceed cap), -1 when empty.
    int Pop(WORD* code, WORD* payload, int cap);
    bool IsEmpty() const { return m_words.empty(); }
    size_t WordCount() const { return m_words.size(); }
    void Clear();

private:
    size_t m_maxWords;
    std::deque<WORD> m_words;          // payloads and codes, top at the back
    std::deque<int> m_entryLengths;    // words per entry, code included, top at the back
};

#endif
