#include "tests/protocol/e2e/SimLog.h"

#include <stdio.h>
#include <stdlib.h>

#include <fstream>
#include <sstream>

namespace {

std::string Env(const char* name) {
    const char* value = getenv(name);
    return value != NULL ? value : "";
}

// A Linux path reached through Wine's drive Z:, which maps the root.
std::string WinePath(const char* variable) {
    std::string path = Env(variable);
    if (path.empty() || path[0] != '/') return path;
    return "Z:" + path;
}

std::string LogPath() {
    return WinePath("TIV_SIM_LOG");
}

// Renamed into place whole: the simulator never reads half a file.
bool WriteWhole(const std::string& path, const std::string& text) {
    {
        std::ofstream file((path + ".new").c_str());
        file << text;
        if (!file.good()) return false;
    }
    return MoveFileExA((path + ".new").c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

bool Contains(const std::vector<std::string>& lines, const std::string& payload) {
    for (const std::string& line : lines) {
        if (line == payload) return true;
    }
    return false;
}

}  // namespace

int SimLog::ComPort() {
    return atoi(Env("TIV_SIM_COM").c_str());
}

std::vector<SimLog::Entry> SimLog::Entries() {
    std::vector<Entry> entries;
    std::ifstream file(LogPath().c_str());
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        std::string ms;
        Entry entry;
        fields >> ms >> entry.kind;
        std::getline(fields, entry.payload);
        if (!entry.payload.empty() && entry.payload[0] == ' ') entry.payload.erase(0, 1);
        entries.push_back(entry);
    }
    return entries;
}

std::vector<std::string> SimLog::Lines(const std::string& kind) {
    std::vector<std::string> payloads;
    for (const Entry& entry : Entries()) {
        if (entry.kind == kind) payloads.push_back(entry.payload);
    }
    return payloads;
}

bool SimLog::WaitForLine(const std::string& kind, const std::string& payload, DWORD timeoutMs) {
    return PollFor([&] { return Contains(Lines(kind), payload); }, timeoutMs);
}

bool SimLog::WaitForCount(const std::string& kind, size_t count, DWORD timeoutMs) {
    return PollFor([&] { return Lines(kind).size() >= count; }, timeoutMs);
}

bool SimLog::PullCable(const std::string& atRequest, int nth) {
    return WriteWhole(LogPath() + ".unplug",
                      (atRequest.empty() ? "pulled" : "at " + atRequest + " " + std::to_string(nth)) + "\n");
}

bool SimLog::Allow(const std::string& rates, bool realtime) {
    const std::string on = realtime ? "on" : "off";
    if (!WriteWhole(LogPath() + ".allowed", "rates " + rates + "\nrealtime " + on + "\n")) return false;
    // As the simulator logs it: its keys in order.
    const std::string taken = "rates " + rates + "; realtime " + on;
    return PollFor(
        [&] {
            const std::vector<std::string> allowed = Lines("ALLOWED");
            return !allowed.empty() && allowed.back() == taken;
        },
        5000);
}

bool SimLog::PlugCableBack() {
    return DeleteFileA((LogPath() + ".unplug").c_str()) != 0 || GetLastError() == ERROR_FILE_NOT_FOUND;
}

std::map<DWORD, std::string> SimLog::FlashDump(const std::string& linuxPath) {
    std::map<DWORD, std::string> pages;
    std::ifstream file(("Z:" + linuxPath).c_str());
    std::string address, hex;
    while (file >> address >> hex) pages[strtoul(address.c_str(), NULL, 16)] = hex;
    return pages;
}

std::string SimLog::Hex(const std::string& bytes) {
    std::string hex;
    char digits[3];
    for (unsigned char b : bytes) {
        snprintf(digits, sizeof(digits), "%02x", b);
        hex += digits;
    }
    return hex;
}

std::vector<WORD> SimLog::FramWords() {
    std::vector<WORD> words;
    std::ifstream file(WinePath("TIV_SIM_FRAM").c_str());
    unsigned address = 0, word = 0;
    while (file >> std::hex >> address >> word) {
        if (address != words.size()) return std::vector<WORD>();
        words.push_back(static_cast<WORD>(word));
    }
    return words;
}

WORD SimLog::SceneAt(int step) {
    if (step == 0) return 0;
    if (step <= 80) return 1500;
    if (step >= 350 && step <= 420) return 1200;
    if (step >= 690) return 2200;
    return 4000;
}

std::string SimLog::SceneLine() {
    std::string line;
    for (int step = 0; step < 769; ++step) {
        if (step > 0) line += ", ";
        line += std::to_string(SceneAt(step));
    }
    return line;
}
