#ifndef TESTS_PROTOCOL_OPTESTLOG_H
#define TESTS_PROTOCOL_OPTESTLOG_H

#include <string>

#include "tests/protocol/EventLog.h"

// Waits on an operation's log for entries from a given position on, so that
// a test follows a sequence without sleeping.
class OpTestLog {
public:
    static const size_t kNotFound = static_cast<size_t>(-1);

    // Index of the first entry equal to text at or after from; kNotFound
    // when none came within timeoutMs.
    static size_t WaitFrom(EventLog& log, const std::string& text, size_t from, DWORD timeoutMs = 5000) {
        const DWORD start = GetTickCount();
        for (size_t seen = from;;) {
            const std::vector<std::string> entries = log.Entries();
            for (; seen < entries.size(); ++seen)
                if (entries[seen] == text) return seen;
            const DWORD waited = GetTickCount() - start;
            if (waited >= timeoutMs) return kNotFound;
            log.WaitForCount(entries.size() + 1, timeoutMs - waited);
        }
    }
    // The entries from index from on.
    static std::vector<std::string> From(EventLog& log, size_t from) {
        const std::vector<std::string> entries = log.Entries();
        if (from >= entries.size()) return std::vector<std::string>();
        return std::vector<std::string>(entries.begin() + static_cast<std::ptrdiff_t>(from), entries.end());
    }
};

#endif
