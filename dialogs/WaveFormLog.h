#ifndef DIALOGS_WAVEFORMLOG_H
#define DIALOGS_WAVEFORMLOG_H

#include <windows.h>

#include <string>

// The comma-separated log of the waveform dialog's "Both" display: one line
// per pair of reports, each line begun by a single line feed. The text
// holds at most 4095 characters; a line that would not fit is dropped
// whole, so the log never holds a cut line. User-interface thread only.
class WaveFormLog {
public:
    static const size_t kMaxChars = 4095;
    static const int kValues = 10;  // five per channel
    static const char kHeader[];

    // Appends the line of ten values; FALSE (nothing appended) when it
    // would not fit.
    BOOL AppendLine(const int values[kValues]);
    void Clear() { m_text.clear(); }
    const std::string& GetText() const { return m_text; }
    // Writes the header and the text byte for byte; the file is replaced
    // only when every byte was written. FALSE with the reason in the last
    // error.
    BOOL Save(const char* path) const;

private:
    std::string m_text;
};

#endif
