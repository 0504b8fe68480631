#include "framework/DialogTemplate.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<BYTE> Bytes(std::initializer_list<WORD> words) {
    std::vector<BYTE> out;
    for (WORD w : words) {
        out.push_back(static_cast<BYTE>(w & 0xFF));
        out.push_back(static_cast<BYTE>(w >> 8));
    }
    return out;
}

}  // namespace

TEST(DialogTemplate_Skip, OrdinalsAndStringsStopAtTheirEndOrFail) {
    const struct {
        const char* name;
        std::vector<BYTE> bytes;
        BOOL szOrOrd;
        size_t szOrOrdSkipped;
        BOOL sz;
        size_t szSkipped;
    } cases[] = {
        {"ordinal", Bytes({0xFFFF, 0x0082, 'x'}), TRUE, 4, FALSE, 0},
        {"ordinal cut short", Bytes({0xFFFF}), FALSE, 0, FALSE, 0},
        {"empty string", Bytes({0, 'x'}), TRUE, 2, TRUE, 2},
        {"string", Bytes({'a', 'b', 0, 'x'}), TRUE, 6, TRUE, 6},
        {"unterminated", Bytes({'a', 'b'}), FALSE, 0, FALSE, 0},
        {"nothing", {}, FALSE, 0, FALSE, 0},
        {"odd byte after the text", {'a', 0, 0}, FALSE, 0, FALSE, 0},
    };
    for (const auto& c : cases) {
        const BYTE* start = c.bytes.data();
        const BYTE* end = start + c.bytes.size();
        const BYTE* p = start;
        EXPECT_EQ(c.szOrOrd, DialogTemplate::SkipSzOrOrd(&p, end)) << c.name;
        EXPECT_EQ(c.szOrOrdSkipped, static_cast<size_t>(p - start)) << c.name;
        p = start;
        EXPECT_EQ(c.sz, DialogTemplate::SkipSz(&p, end)) << c.name;
        EXPECT_EQ(c.szSkipped, static_cast<size_t>(p - start)) << c.name;
    }
}

TEST(DialogTemplate_Layout, OnlyVersionOneWithTheSignatureIsExtended) {
    const struct {
        std::vector<BYTE> bytes;
        BOOL extended;
    } cases[] = {
        {Bytes({1, 0xFFFF, 0}), TRUE},
        {Bytes({1, 0xFFFF}), TRUE},
        {Bytes({2, 0xFFFF}), FALSE},
        {Bytes({1, 0xFFFE}), FALSE},
        {Bytes({0x00C0, 0x80C8}), FALSE},  // a plain template's style
        {Bytes({1}), FALSE},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.extended, DialogTemplate::IsExtended(c.bytes.data(), static_cast<DWORD>(c.bytes.size())))
            << c.bytes.size();
    }
    EXPECT_FALSE(DialogTemplate::IsExtended(nullptr, 8));
}
