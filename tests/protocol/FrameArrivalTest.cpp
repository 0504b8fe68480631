#include "protocol/FrameArrival.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const DWORD kUnknown = FrameArrival::kUnknown;

// STX, text, ETX; the kind is the first two text characters.
std::string Frame(const std::string& text) {
    return "\x02" + text + "\x03";
}

TEST(FrameArrival, RestOfAFrameFollowsTheLastOfItsKind) {
    struct Row {
        const char* what;
        std::string learned;
        std::string buffer;
        DWORD rest;
    };
    const Row rows[] = {
        {"nothing under way", Frame("HFD"), "", 0},
        {"noise only", Frame("HFD"), "xyz", 0},
        {"a whole frame left", Frame("HFD"), Frame("HF"), 0},
        {"kind never seen", "", "\x02" "HF", kUnknown},
        {"kind not yet readable", Frame("HFD"), "\x02" "H", kUnknown},
        {"three of eight bytes", Frame("HFDX12"), "\x02" "HF", 5},
        {"seven of eight bytes", Frame("HFDX12"), "\x02" "HFDX12", 1},
        {"already as long", Frame("HFDX12"), "\x02" "HFDX123", kUnknown},
        {"another kind", Frame("HFDX12"), "\x02" "HG", kUnknown},
        {"noise before the start", "ab" + Frame("HFD"), "zz\x02" "HF", 2},
        {"the later of two lengths", Frame("HFDDDD") + Frame("HFD"), "\x02" "HF", 2},
        {"a frame cut short is not learned", "\x02" "HFDDDDDDDD" + Frame("HFD"), "\x02" "HF", 2},
        {"text outside the alphabet", Frame("\x7f" "FD"), "\x02\x7f" "F", kUnknown},
    };
    for (const Row& row : rows) {
        FrameArrival arrival;
        arrival.Learn(row.learned);
        EXPECT_EQ(arrival.BytesToCome(row.buffer), row.rest) << row.what;
    }
}

TEST(FrameArrival, KindsAreKeptApart) {
    FrameArrival arrival;
    // A 5-byte link Set reply and a longer frame of another command.
    arrival.Learn(Frame("H%HP:!2") + Frame("H6DX12345678"));
    EXPECT_EQ(arrival.BytesToCome("\x02" "H%"), 6u);
    EXPECT_EQ(arrival.BytesToCome("\x02" "H6D"), 10u);
}

}  // namespace
