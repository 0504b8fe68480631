#ifndef TESTS_PROTOCOL_E2E_SIMLOG_H
#define TESTS_PROTOCOL_E2E_SIMLOG_H

#include <windows.h>

#include <map>
#include <string>
#include <vector>

// The sensor simulator beside an end-to-end test: its COM port and its log
// ("<ms> KIND payload" per line), both handed over in the environment.
class SimLog {
public:
    // COM number from TIV_SIM_COM, 0 when the test runs without a simulator.
    static int ComPort();
    struct Entry {
        std::string kind;
        std::string payload;
    };
    // Every log line, in order.
    static std::vector<Entry> Entries();
    // Payloads of the log lines of one kind ("RX", "TX", "TXBAD", "NOISE", ...), in order.
    static std::vector<std::string> Lines(const std::string& kind);
    // Waits, bounded, until a line of that kind with that payload is logged.
    static bool WaitForLine(const std::string& kind, const std::string& payload, DWORD timeoutMs);
    // Waits, bounded, until at least count lines of that kind are logged.
    static bool WaitForCount(const std::string& kind, size_t count, DWORD timeoutMs);
    // The simulator's FRAM as it last wrote it (at its start and after each
    // commit); empty when there is none.
    static std::vector<WORD> FramWords();
    // Pulls the cable of a simulator started with --unplug-file <its log>.unplug:
    // now, or, given a request, as the nth request whose hex starts so arrives,
    // before it is answered (the simulator logs ARM, then PULL and HANGUP).
    static bool PullCable(const std::string& atRequest = "", int nth = 1);
    // Plugs it back: a new line serves the port, the sensor restarted (RETURN).
    static bool PlugCableBack();
    // Tells the simulator what the program may do now: the line rates its
    // setting allows ("19200 57600 115200" while it recognises the rate) and
    // whether its realtime scan is on; true once the simulator has taken it
    // (ALLOWED). The simulator logs a request against it, after a short
    // grace, as FAULT, and run-with-sim fails the test.
    static bool Allow(const std::string& rates, bool realtime);
    // The simulator's flash dump at a Linux path: page address -> hex of the page.
    static std::map<DWORD, std::string> FlashDump(const std::string& linuxPath);
    // Waits, bounded, until done() holds. The log and the windows of another
    // process give nothing to wait on but time.
    template <class Done>
    static bool PollFor(Done done, DWORD timeoutMs) {
        const DWORD start = GetTickCount();
        for (;;) {
            if (done()) return true;
            if (GetTickCount() - start >= timeoutMs) return false;
            Sleep(10);
        }
    }
    // The simulator's default scene, one distance per step: 0 at step 0,
    // 1500 up to step 80, 1200 for steps 350..420, 2200 from step 690, 4000
    // elsewhere.
    static WORD SceneAt(int step);
    // One scan of that scene over 769 steps as a measuring data file's line
    // holds it ("d0, d1, ..."), without its line end.
    static std::string SceneLine();
    // Lower-case hex of bytes, as the log writes them.
    static std::string Hex(const std::string& bytes);
};

#endif
