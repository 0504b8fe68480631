#include "dialogs/MonitorDecoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/protocol/FrameBytes.h"

namespace {

const COLORREF kGreen = 0x00C000;
const COLORREF kBlue = 0xC00000;
const COLORREF kRed = 0x0000C0;

struct Composed {
    int shown;
    std::string line;
    COLORREF colour;
};

Composed Compose(const MonitorDecoder& decoder, int direction, const std::string& message) {
    Composed c = {0, "", 0};
    c.shown = decoder.ComposeLine(direction, reinterpret_cast<const BYTE*>(message.data()), message.size(), &c.line,
                                  &c.colour);
    return c;
}

// Words 0x0000, 0x0101, .. 0x3f3f, low byte first.
std::string Block() {
    std::string words;
    for (int w = 0; w < 64; ++w) words += Bytes({w, w});
    return words;
}

std::string Padded(const std::string& text, size_t size) {
    return text + std::string(size - text.size(), '\0');
}

}  // namespace

TEST(MonitorDecoder, EveryCommandAsTheOperationsSendIt) {
    MonitorDecoder decoder;
    decoder.SetModel(0);
    decoder.SetStepCount(3);
    const std::string address = Bytes({0x00, 0x01, 0x0E, 0x00});  // 0x0E0100
    const struct {
        int direction;
        std::string message;  // without its CRC
        const char* line;
    } cases[] = {
        {0, Bytes({0xA0, 'i'}), "T : Link Get"},
        {1, Bytes({0xA0, 'i', 1, 2, 3, 4, 5, 6, 7, 0xAB}), "R : Link Get code:01020304050607ab"},
        {0, Bytes({0xA0, 'Z', 3, 0x34, 0x12}), "T : Link Set level:DEVELOPER code:3412"},
        {1, Bytes({0xA0, 'Z', 1}), "R : Link Set level:USER"},
        {1, Bytes({0xA1, 'i'}) + Padded("TIV-A1 2.05", 64), "R : Version Get ver:\"TIV-A1 2.05\""},
        {1, Bytes({0xA1, 'i'}) + Padded("V1.00", 32), "R : Version Get ver:\"V1.00\""},
        {1, Bytes({0xA2, 'i', 1, 0, 0xFF, 0xFF, 0x34, 0x12}), "R : Distance Get dist: 1 65535 4660"},
        {0, Bytes({0xA3, 'i', 0x00, 0x01}), "T : RAM Get address:0100"},
        {1, Bytes({0xA3, 'i', 0x00, 0x01, 0xFF, 0x00}), "R : RAM Get address:0100 value:00ff"},
        {0, Bytes({0xA3, 'Z', 0x10, 0x00, 0x34, 0x12}), "T : RAM Set address:0010 value:1234"},
        {0, Bytes({0xA3, 0xA5}), "T : RAM Commit"},
        {0, Bytes({0xA4, 'i', 0x01}), "T : FRAM Get address:01"},
        {1, Bytes({0xA4, 'i', 0x40, 0x34, 0x12}), "R : FRAM Get address:40 value:1234"},
        {1, Bytes({0xA4, 0xA5, 1}), "R : FRAM Commit result:SUCCESS"},
        {1, Bytes({0xA4, 0xA5, 0}), "R : FRAM Commit result:FAILURE"},
        {1, Bytes({0xA5, 'i', 0xFF, 0xE1}), "R : Function Get function:e1ff"},
        {0, Bytes({0xA6, 'i', 3}), "T : Correction Get point:3"},
        {1, Bytes({0xA6, 'i', 1, 0xE8, 0x03, 0x10, 0x27, 0x20, 0x4E}),
         "R : Correction Get point:1 distance:1000 8MHz:10000 7.5MHz:20000"},
        {0, Bytes({0xA6, 'Z', 0, 0xFF, 0xFF}), "T : Correction Set point:0 distance:65535"},
        {1, Bytes({0xA6, 'Z', 2, 1}), "R : Correction Set point:2 result:SUCCESS"},
        {1, Bytes({0xA7, 'i', 200}), "R : Direction Get direction:200"},
        {0, Bytes({0xA8, 'i'}), "T : I/O Get"},
        {1, Bytes({0xA8, 'i', 0x81, 0x02, 0x03}), "R : I/O Get status:81 disguised:02 mask:03"},
        {0, Bytes({0xA8, 'Z', 0x01, 0x02}), "T : I/O Set disguised:01 mask:02"},
        {0, Bytes({0xA9, 'i', 0xBC, 0x82}), "T : WaveForm Get position:188 frequency:130"},
        {1, Bytes({0xAA, 'i', 4, 0x7F}), "R : Notification Get type:OUTPUT value:7f"},
        {0, Bytes({0xAB, 'Z', 9}), "T : Motor Set position:9"},
        {1, Bytes({0xAC, 'i', 5}), "R : Trouble Get type:TROUBLE_FRAM"},
        {0, Bytes({0xAC, 'Z', 7}), "T : Trouble Set type:"},
        {0, Bytes({0xAE, 'Z'}), "T : Reset Set"},
        {0, Bytes({0xAF, 'Z'}), "T : FirmwareUpdate Set"},
        {0, Bytes({0xAF, 'Z', 0x00}), "T : FirmwareUpdate Set command:RESET"},
        {0, Bytes({0xAF, 'Z', 0x20}) + address, "T : FirmwareUpdate Set command:BLOCKERASE"},
        {0, Bytes({0xAF, 'Z', 0x41}) + address + std::string(256, '\x5A'), "T : FirmwareUpdate Set command:PROGRAM"},
        {1, Bytes({0xAF, 'Z', 0x05, 0x02}), "R : FirmwareUpdate Set version:0205"},
        {1, Bytes({0xAF, 'Z', 0xFF}) + address + std::string(256, '\0'), "R : FirmwareUpdate Set command:READ"},
    };
    for (const auto& c : cases) {
        const Composed got = Compose(decoder, c.direction, WithCrc(c.message));
        EXPECT_EQ(got.shown, 1) << c.line;
        EXPECT_EQ(got.line, std::string(c.line) + "\n");
        EXPECT_EQ(got.colour, c.direction == 0 ? kGreen : kBlue) << c.line;
    }
}

TEST(MonitorDecoder, FramBlocksAndLongRepliesListEveryValue) {
    MonitorDecoder decoder;
    decoder.SetStepCount(769);
    const std::string block = Block();
    const struct {
        int direction;
        std::string message;
        std::string line;
    } cases[] = {
        {1, Bytes({0xA4, 'i', 0x02}) + block, "R : FRAM Get address:02 values: 0000 0101 0202"},
        {0, Bytes({0xA4, 'Z', 0x01}) + block, "T : FRAM Set address:01 values: 0000 0101 0202"},
        {1, Bytes({0xA4, 'Z', 0x01}) + block, "R : FRAM Set address:01 values: 0000 0101 0202"},
    };
    for (const auto& c : cases) {
        const std::string message = WithCrc(c.message);
        ASSERT_EQ(message.size(), 133u);
        const Composed got = Compose(decoder, c.direction, message);
        EXPECT_EQ(got.line.compare(0, c.line.size(), c.line), 0) << got.line;
        EXPECT_NE(got.line.find(" 3e3e 3f3f\n"), std::string::npos) << got.line;
        EXPECT_EQ(got.line.find("???"), std::string::npos) << got.line;
    }

    std::string distances = Bytes({0xA2, 'i'});
    for (int i = 0; i < 769; ++i) distances += Bytes({i & 0xFF, i >> 8});
    const std::string reply = WithCrc(distances);
    ASSERT_EQ(reply.size(), 1542u);
    const Composed got = Compose(decoder, 1, reply);
    EXPECT_EQ(got.line.compare(0, 26, "R : Distance Get dist: 0 1"), 0) << got.line.substr(0, 40);
    EXPECT_NE(got.line.find(" 767 768\n"), std::string::npos);
    EXPECT_EQ(std::count(got.line.begin(), got.line.end(), ' '), 4 + 769);
    // One scan step more or less is not this sensor's reply.
    EXPECT_EQ(Compose(decoder, 1, WithCrc(distances + Bytes({0, 0}))).line, "R : Distance Get ???\n");
}

TEST(MonitorDecoder, WaveFormAndTotalRepliesNameEveryField) {
    MonitorDecoder decoder;
    std::string wave = Bytes({0xA9, 'i', 0xBC, 0x81});
    for (int w = 0; w < 15; ++w) wave += Bytes({w, 0x10 + w});
    const Composed w = Compose(decoder, 1, WithCrc(wave));
    EXPECT_EQ(w.line,
              "R : WaveForm Get position:188 flag:81 phase0average:1000 phase0max:1101 phase0min:1202"
              " phase1average:1303 phase1max:1404 phase1min:1505 phase2average:1606 phase2max:1707"
              " phase2min:1808 phase3average:1909 phase3max:1a0a phase3min:1b0b distance:1c0c level:1d0d"
              " agc:1e0e\n");

    std::string total = Bytes({0xAD, 'i'});
    const DWORD counts[] = {1, 256, 65536, 16777216, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0};
    for (DWORD n : counts) total += Bytes({int(n & 0xFF), int((n >> 8) & 0xFF), int((n >> 16) & 0xFF), int(n >> 24)});
    EXPECT_EQ(Compose(decoder, 1, WithCrc(total)).line,
              "R : Total Get scan:1 output1:256 output2:65536 output3:16777216 interference:2147483647"
              " motor:2147483648 led:4294967295 communication:0\n");
}

TEST(MonitorDecoder, WhatNoLayoutFitsIsUnknownAndRed) {
    MonitorDecoder decoder;
    decoder.SetStepCount(769);
    const struct {
        int direction;
        std::string message;  // complete, CRC included where it checks
        const char* line;
    } cases[] = {
        {1, WithCrc(Bytes({0xA0, 'Z', 4})), "R : Link Set level: ???"},
        {1, WithCrc(Bytes({0xA1, 'i', 'V'})), "R : Version Get ???"},
        {1, WithCrc(Bytes({0xA1, 'i'}) + std::string(65, 'x')), "R : Version Get ???"},
        {0, WithCrc(Bytes({0xA6, 'i', 4})), "T : Correction Get point: ???"},
        {1, WithCrc(Bytes({0xAA, 'i', 5, 0})), "R : Notification Get type: ???"},
        {0, WithCrc(Bytes({0xAA, 'i'})), "T : Notification Get ???"},
        {1, WithCrc(Bytes({0xAC, 'i', 8})), "R : Trouble Get type: ???"},
        {1, WithCrc(Bytes({0xAE, 'Z'})), "R : Reset Set ???"},
        {0, WithCrc(Bytes({0xAF, 'Z', 0x02})), "T : FirmwareUpdate Set command: ???"},
        {1, WithCrc(Bytes({0xAF, 'Z', 0x00, 0x00, 0x00})), "R : FirmwareUpdate Set command: ???"},
        {1, Bytes({0xAF, 'Z', 0x38}), "R : FirmwareUpdate Set ??? CRC Error"},
        {1, WithCrc(Bytes({0xA0, 0x11})), "R : Link ???"},
        {1, WithCrc(Bytes({0xB2, 'i', 1})), "R : ???"},
        {1, WithCrc(Bytes({0x41, 'i'})), "R : ???"},
        {1, Bytes({0xA3}), "R : RAM ??? CRC Error"},
        // A correct length with wrong CRC bytes keeps its fields.
        {1, Bytes({0xA3, 'i', 0x00, 0x01, 0xFF, 0x00, 0x12, 0x34}), "R : RAM Get address:0100 value:00ff CRC Error"},
    };
    for (const auto& c : cases) {
        const Composed got = Compose(decoder, c.direction, c.message);
        EXPECT_EQ(got.shown, 1) << c.line;
        EXPECT_EQ(got.line, std::string(c.line) + "\n");
        EXPECT_EQ(got.colour, kRed) << c.line;
    }
}

TEST(MonitorDecoder, VersionTextStopsAtTheMessagesEnd) {
    MonitorDecoder decoder;
    // 64 characters without a zero byte: the CRC bytes that follow are not text.
    const std::string text(64, 'v');
    const Composed got = Compose(decoder, 1, WithCrc(Bytes({0xA1, 'i'}) + text));
    EXPECT_EQ(got.line, "R : Version Get ver:\"" + text + "\"\n");
}

TEST(MonitorDecoder, FiltersDropLinesBeforeAnyLengthTest) {
    const std::string ramGet = WithCrc(Bytes({0xA3, 'i', 0x00, 0x01}));
    const std::string badRamGet = WithCrc(Bytes({0xA3, 'i', 0x00}));
    const std::string linkCommit = WithCrc(Bytes({0xA0, 0xA5}));
    const std::string unknown = WithCrc(Bytes({0xB2, 'i'}));

    MonitorDecoder decoder;
    EXPECT_EQ(Compose(decoder, 0, linkCommit).shown, 0);  // a box no layout uses is never checked
    EXPECT_EQ(Compose(decoder, 0, std::string()).shown, 0);

    MonitorDecoder::Filter filter = MonitorDecoder::AllChecked();
    filter.boxes[3][MonitorDecoder::kGet] = false;
    decoder.SetFilter(filter);
    EXPECT_EQ(Compose(decoder, 0, ramGet).shown, 0);
    EXPECT_EQ(Compose(decoder, 0, badRamGet).shown, 0);
    EXPECT_EQ(Compose(decoder, 0, WithCrc(Bytes({0xA3, 'Z', 0, 1, 2, 3}))).shown, 1);

    filter = MonitorDecoder::AllChecked();
    filter.transmit = false;
    decoder.SetFilter(filter);
    EXPECT_EQ(Compose(decoder, 0, ramGet).shown, 0);
    EXPECT_EQ(Compose(decoder, 1, ramGet).shown, 1);

    filter = MonitorDecoder::AllChecked();
    filter.receive = false;
    filter.undefined = false;
    decoder.SetFilter(filter);
    EXPECT_EQ(Compose(decoder, 1, ramGet).shown, 0);
    EXPECT_EQ(Compose(decoder, 0, unknown).shown, 0);
    EXPECT_EQ(Compose(decoder, 0, badRamGet).shown, 0);
    EXPECT_EQ(Compose(decoder, 0, ramGet).shown, 1);
}

TEST(MonitorDecoder, AnotherProtocolShowsItsCharactersUpToAZeroByte) {
    MonitorDecoder decoder;
    decoder.SetModel(0x0101);
    const Composed got = Compose(decoder, 1, std::string("\xA3xy\0zz", 6));
    EXPECT_EQ(got.line, "R :\xA3xy\n");
    EXPECT_EQ(got.colour, kBlue);
    EXPECT_EQ(Compose(decoder, 0, Bytes({0xB2, 'i', 1})).line, "T :\xB2i\x01\n");
}

TEST(MonitorDecoder, BoxesInUseFollowTheCommandsLayouts) {
    // Get, Set, Commit per command 0xA0..0xAF.
    const char* const used[] = {"110", "100", "100", "111", "111", "111", "111", "111",
                                "110", "100", "100", "110", "110", "100", "010", "010"};
    for (int k = 0; k < MonitorDecoder::kCommands; ++k) {
        for (int sub = 0; sub < MonitorDecoder::kSubCommands; ++sub) {
            EXPECT_EQ(MonitorDecoder::IsBoxUsed(k, sub), used[k][sub] == '1') << k << " " << sub;
        }
    }
}
