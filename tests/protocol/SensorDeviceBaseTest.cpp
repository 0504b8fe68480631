#include "protocol/SensorDeviceBase.h"
#include "tests/protocol/FrameBytes.h"

#include <gtest/gtest.h>

namespace {

struct WorkedExample {
    std::string message;
    WORD crc;
    std::string frame;
};

// Worked by hand from the frame rules; the first is the fixed probe frame.
const WorkedExample kExamples[] = {
    {Bytes({0xA0, 0x69}), 0x5138, Bytes({0x02, 0x48, 0x26, 0x44, 0x58, 0x34, 0x30, 0x03})},
    {Bytes({0xA1, 0x69}), 0x48E0, Bytes({0x02, 0x48, 0x36, 0x47, 0x40, 0x32, 0x20, 0x03})},
    {"abc", 0x58E9, Bytes({0x02, 0x38, 0x36, 0x29, 0x43, 0x5A, 0x35, 0x40, 0x03})},
};

}  // namespace

TEST(SensorDeviceBase_Codec, WorkedExamplesAssembleToTheirFrames) {
    for (const WorkedExample& ex : kExamples) {
        std::string message = ex.message;
        std::string frame;
        SensorDeviceBase::AssembleFrame(message, frame);
        EXPECT_EQ(frame, ex.frame);
        ASSERT_EQ(message.size(), ex.message.size() + 2);
        EXPECT_EQ(static_cast<unsigned char>(message[message.size() - 2]), ex.crc & 0xFF);
        EXPECT_EQ(static_cast<unsigned char>(message[message.size() - 1]), ex.crc >> 8);
        EXPECT_EQ(SensorDeviceBase::Crc16(message), 0);
    }
}

TEST(SensorDeviceBase_Codec, CrcIsKermitWhenFollowedByTwoZeros) {
    std::string digits = "123456789";
    digits.append(2, '\0');
    EXPECT_EQ(SensorDeviceBase::Crc16(digits), 0x2189);
    EXPECT_EQ(SensorDeviceBase::Crc16(""), 0);
}

TEST(SensorDeviceBase_Codec, TextLengthsAndTails) {
    const struct {
        size_t bytes;
        size_t chars;
    } cases[] = {{0, 0}, {1, 2}, {2, 3}, {3, 4}, {4, 6}, {5, 7}, {6, 8}, {1542, 2056}};
    for (const auto& c : cases) {
        std::string in(c.bytes, '\x5A');
        std::string text;
        EXPECT_EQ(SensorDeviceBase::Encode6(in, text), 1);
        EXPECT_EQ(text.size(), c.chars) << c.bytes;
    }
}

TEST(SensorDeviceBase_Codec, EveryByteValueRoundTripsInPrintableText) {
    std::string in;
    for (int i = 0; i < 256; ++i) in += static_cast<char>(i);
    for (size_t len = 0; len <= in.size(); len += 37) {
        std::string part = in.substr(0, len), text, out;
        SensorDeviceBase::Encode6(part, text);
        for (char c : text) {
            ASSERT_GE(static_cast<unsigned char>(c), 0x20);
            ASSERT_LE(static_cast<unsigned char>(c), 0x5F);
        }
        SensorDeviceBase::Decode6(text, out);
        EXPECT_EQ(out, part);
    }
    std::string text;
    SensorDeviceBase::Encode6(std::string(1, '\0'), text);
    EXPECT_EQ(text, "  ");
}

TEST(SensorDeviceBase_Codec, DecodeIgnoresLoneTailAndFillBits) {
    std::string out;
    SensorDeviceBase::Decode6("H&DX4", out);  // 4 chars then a lone tail character
    EXPECT_EQ(out, Bytes({0xA0, 0x69, 0x38}));
    SensorDeviceBase::Decode6(Bytes({0x48, 0x2F}), out);  // fill bits set in the tail
    EXPECT_EQ(out, Bytes({0xA0}));
    SensorDeviceBase::Decode6(Bytes({0x7F, 0x7F}), out);  // outside the range: masked, not refused
    EXPECT_EQ(out.size(), 1u);
}

TEST(SensorDeviceBase_Extract, NoiseBeforeFramesAndSeveralFramesInOneRead) {
    std::string buffer = "junk\x03" + Frame(Bytes({0xA0, 0x69})) + Frame(Bytes({0xA1, 0x69, 1, 2, 3}));
    std::vector<std::string> messages;
    SensorDeviceBase::ExtractMessages(buffer, messages);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], WithCrc(Bytes({0xA0, 0x69})));
    EXPECT_EQ(messages[1], WithCrc(Bytes({0xA1, 0x69, 1, 2, 3})));
    EXPECT_TRUE(buffer.empty());

    buffer = "no frame start at all";
    SensorDeviceBase::ExtractMessages(buffer, messages);
    EXPECT_TRUE(buffer.empty());
    EXPECT_EQ(messages.size(), 2u);
}

TEST(SensorDeviceBase_Extract, FrameSplitOverReadsIsDecodedOnceComplete) {
    const std::string frame = Frame(Bytes({0xA2, 0x69, 0x40, 0x00}));
    std::string buffer;
    std::vector<std::string> messages;
    for (size_t i = 0; i < frame.size(); ++i) {
        buffer += frame[i];
        SensorDeviceBase::ExtractMessages(buffer, messages);
        EXPECT_EQ(messages.size(), i + 1 == frame.size() ? 1u : 0u);
    }
    EXPECT_TRUE(buffer.empty());
    buffer = "xy" + frame.substr(0, 3);
    SensorDeviceBase::ExtractMessages(buffer, messages);
    EXPECT_EQ(buffer, "xy" + frame.substr(0, 3));  // unfinished frame kept as it was
}

TEST(SensorDeviceBase_Extract, BadFramesAreDroppedAndTheNextOneCounts) {
    std::string bad = Frame(Bytes({0xA1, 0x69}));
    bad[2] = static_cast<char>(bad[2] + 1);
    const std::string good = Frame(Bytes({0xA0, 0x5A, 1}));
    std::string cut = Frame(Bytes({0xA3, 0x69, 9, 9}));
    cut.pop_back();

    std::string buffer = bad + good + std::string("\x02\x03") + cut + good;
    std::vector<std::string> messages;
    SensorDeviceBase::ExtractMessages(buffer, messages);
    // bad CRC dropped; empty frame not delivered; cut frame swallows the next one.
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], WithCrc(Bytes({0xA0, 0x5A, 1})));
    EXPECT_TRUE(buffer.empty());
}

TEST(SensorDeviceBase_Extract, UnfinishedNoiseIsBounded) {
    std::string buffer = "\x02" + std::string(SensorDeviceBase::kMaxFrameBytes + 10, 'A');
    std::vector<std::string> messages;
    SensorDeviceBase::ExtractMessages(buffer, messages);
    EXPECT_TRUE(buffer.empty());

    // A real frame that began after the noise survives the trim and completes.
    const std::string frame = Frame(Bytes({0xA1, 0x69}));
    buffer = "\x02" + std::string(SensorDeviceBase::kMaxFrameBytes, 'A') + frame.substr(0, 4);
    SensorDeviceBase::ExtractMessages(buffer, messages);
    EXPECT_EQ(buffer, frame.substr(0, 4));
    buffer += frame.substr(4);
    SensorDeviceBase::ExtractMessages(buffer, messages);
    ASSERT_EQ(messages.size(), 1u);
}

TEST(SensorDeviceBase_Codec, CrcMatchesTheBitSerialRegisterOnEveryByte) {
    // Reference: the register procedure written out bit by bit.
    std::string data;
    for (int i = 0; i < 600; ++i) data += static_cast<char>((i * 131 + 7) & 0xFF);
    DWORD r = 0;
    for (unsigned char b : data) {
        r = (r & 0xFFFF) | (static_cast<DWORD>(b) << 16);
        for (int bit = 0; bit < 8; ++bit) {
            if (r & 1) r ^= 0x10811;
            r >>= 1;
        }
    }
    EXPECT_EQ(SensorDeviceBase::Crc16(data), r & 0xFFFF);
}
