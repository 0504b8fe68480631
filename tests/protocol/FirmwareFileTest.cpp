#include "protocol/FirmwareFile.h"

#include <gtest/gtest.h>

#include <string.h>

#include "protocol/DesCipher.h"
#include "protocol/SensorDeviceBase.h"
#include "tests/TestFiles.h"

namespace {

typedef FirmwareFile::Pages Pages;

FirmwareFile::Page MakePage(DWORD address, BYTE seed) {
    FirmwareFile::Page page;
    page.address = address;
    for (DWORD i = 0; i < FirmwareFile::kPageBytes; ++i) page.data[i] = static_cast<BYTE>(seed + i * 7);
    return page;
}

Pages MakePages(std::initializer_list<DWORD> addresses) {
    Pages pages;
    BYTE seed = 1;
    for (DWORD address : addresses) pages.push_back(MakePage(address, seed++));
    return pages;
}

std::string Encoded(const Pages& pages) {
    std::string bytes;
    FirmwareFile::Encode(pages, &bytes);
    return bytes;
}

bool SamePages(const Pages& a, const Pages& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].address != b[i].address || memcmp(a[i].data, b[i].data, FirmwareFile::kPageBytes) != 0) return false;
    return true;
}

}  // namespace

TEST(FirmwareFile_Key, DerivedKeyStartsAFreshChain) {
    DesCipher cipher;
    FirmwareFile::DeriveKey(&cipher);
    // The derived key 0x5639B76677D1358D enciphers a zero block so, chain 0.
    EXPECT_EQ(cipher.EncryptCbc(0, 0), 0xBC60A4B0C079A7B8ULL);
}

TEST(FirmwareFile_Crc, PageCrcTakesTheAddressLowBytesThenTheData) {
    BYTE zeros[256] = {}, ramp[256], ones[256], fives[256];
    for (int i = 0; i < 256; ++i) ramp[i] = static_cast<BYTE>(i);
    memset(ones, 0xFF, sizeof ones);
    memset(fives, 0x5A, sizeof fives);
    // By hand: 00 00 0A leaves 0x0A00 in the register, and zeros run on from there.
    const BYTE addressOnly[3] = {0x00, 0x00, 0x0A};
    EXPECT_EQ(SensorDeviceBase::Crc16(0, addressOnly, 3), 0x0A00);
    const struct {
        DWORD address;
        const BYTE* data;
        WORD crc;
    } cases[] = {
        {0xA0000, zeros, 0xCAED},
        {0xA0000, ramp, 0x37C4},
        {0xFFF00, ones, 0xB5B5},
        {0xE0100, fives, 0x1619},
        {0x10E0100, fives, 0x1619},  // only the three low address bytes count
    };
    for (const auto& c : cases) EXPECT_EQ(FirmwareFile::PageCrc(c.address, c.data), c.crc) << std::hex << c.address;
}

TEST(FirmwareFile_Layout, FirstUnitIsTheEncipheredHeaderThenData) {
    FirmwareFile::Page page = {0xA0000, {}};
    const std::string bytes = Encoded(Pages(1, page));
    ASSERT_EQ(bytes.size(), 264u);
    // Header 00 00 0A 00 ED CA 00 00, then a zero data block, under the derived key.
    const std::string header("\xDA\x24\x26\x5D\x65\x1A\x20\xAC", 8);
    const std::string firstData("\xCC\xD6\x86\xF2\x31\x66\xBC\x60", 8);
    EXPECT_EQ(bytes.substr(0, 8), header);
    EXPECT_EQ(bytes.substr(8, 8), firstData);
}

TEST(FirmwareFile_Decode, AddressRulesAtEveryEdge) {
    const struct {
        std::initializer_list<DWORD> addresses;
        bool accepted;
    } cases[] = {
        {{0xA0000, 0xA0100}, true},
        {{0xA0000, 0xA0200}, true},  // a gap of one page
        {{0xFFF00}, true},
        {{0x100000}, false},
        {{0x9FF00}, false},
        {{0xA0080}, false},           // not aligned
        {{0xA0000, 0xA0000}, false},  // the same address twice
        {{0xA0200, 0xA0100}, false},  // descending
    };
    for (const auto& c : cases) {
        const Pages written = MakePages(c.addresses);
        Pages read;
        SetLastError(0);
        EXPECT_EQ(FirmwareFile::Decode(Encoded(written), &read), c.accepted ? 1 : 0) << std::hex << *c.addresses.begin();
        if (c.accepted) {
            EXPECT_TRUE(SamePages(read, written));
        } else {
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_FORMAT));
        }
    }
}

TEST(FirmwareFile_Decode, DamagedSizesAndBitsAreRefused) {
    const std::string good = Encoded(MakePages({0xA0000, 0xB0000, 0xB0100}));
    Pages pages;
    EXPECT_EQ(FirmwareFile::Decode(std::string(), &pages), 1);  // empty: no pages
    EXPECT_TRUE(pages.empty());

    const size_t cuts[] = {1, 8, 263, 265, 2 * 264 + 100, good.size() - 8};
    for (size_t cut : cuts) {
        pages.clear();
        EXPECT_EQ(FirmwareFile::Decode(good.substr(0, cut), &pages), 0) << cut;
        EXPECT_TRUE(pages.empty()) << cut;  // refused before any page is taken
    }
    // One bit flipped in the second unit's data: that unit fails its CRC, the first stays.
    std::string flipped = good;
    flipped[264 + 100] ^= 0x10;
    pages.clear();
    EXPECT_EQ(FirmwareFile::Decode(flipped, &pages), 0);
    EXPECT_EQ(pages.size(), 1u);

    // Units out of file order: the chain runs over the whole file.
    const std::string swapped = good.substr(264, 264) + good.substr(0, 264) + good.substr(528);
    pages.clear();
    EXPECT_EQ(FirmwareFile::Decode(swapped, &pages), 0);
    EXPECT_TRUE(pages.empty());
}

TEST(FirmwareFile_Files, WriteThenReadAndShortFiles) {
    TestFolder folder;
    const Pages written = MakePages({0xA0000, 0xE0000, 0xE0100, 0xFFF00});
    const std::string path = folder.Path("image.tiv");
    ASSERT_EQ(FirmwareFile::Write(path.c_str(), written), 1);
    Pages read;
    ASSERT_EQ(FirmwareFile::Read(path.c_str(), &read), 1);
    EXPECT_TRUE(SamePages(read, written));

    const std::string cut = folder.Path("cut.tiv");
    ASSERT_TRUE(WriteBytes(cut, ReadBytes(path).substr(0, 3 * 264 + 5)));
    read.clear();
    EXPECT_EQ(FirmwareFile::Read(cut.c_str(), &read), 0);
    EXPECT_TRUE(read.empty());

    SetLastError(0);
    EXPECT_EQ(FirmwareFile::Read(folder.Path("missing.tiv").c_str(), &read), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}
