// Firmware file conversion of a full image (every page from 0xA0000 to
// 0xFFF00) in both directions: S-record text to update file and back.
#include <windows.h>

#include <cstdio>
#include <string>

#include "bench/BenchClock.h"
#include "dialogs/FirmwareConversion.h"
#include "dialogs/SRecordImage.h"
#include "framework/OwnedHandle.h"
#include "protocol/FirmwareFile.h"

namespace {

bool WriteText(const std::string& path, const std::string& text) {
    OwnedHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL));
    if (!file.Valid()) return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, NULL);
    return ok && written == text.size();
}

}  // namespace

int main() {
    FirmwareFile::Pages pages;
    for (DWORD address = FirmwareFile::kLowestAddress; address <= FirmwareFile::kHighestAddress; address += 256) {
        FirmwareFile::Page page;
        page.address = address;
        for (int i = 0; i < 256; ++i) page.data[i] = static_cast<BYTE>((address >> 8) * 31 + i * 7);
        pages.push_back(page);
    }
    std::string text;
    SRecordImage::Format(pages, &text);
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    const std::string mot = std::string(folder) + "conversion_bench.mot";
    const std::string tiv = std::string(folder) + "conversion_bench.tiv";
    const std::string back = std::string(folder) + "conversion_bench_back.mot";
    if (!WriteText(mot, text)) {
        printf("cannot write %s\n", mot.c_str());
        return 1;
    }
    FirmwareConversion::Failure failure = {};
    const int rounds = 5;
    double encrypt = 0, decrypt = 0;
    int ok = 1;
    for (int r = 0; r < rounds; ++r) {
        double start = BenchSeconds();
        ok &= FirmwareConversion::Encrypt(mot.c_str(), tiv.c_str(), &failure);
        encrypt += BenchSeconds() - start;
        start = BenchSeconds();
        ok &= FirmwareConversion::Decrypt(tiv.c_str(), back.c_str(), &failure);
        decrypt += BenchSeconds() - start;
    }
    printf("full image: %u pages, %u bytes of S-record text\n", static_cast<unsigned>(pages.size()),
           static_cast<unsigned>(text.size()));
    printf("encrypt %.1f ms, decrypt %.1f ms (mean of %d)%s\n", 1000 * encrypt / rounds, 1000 * decrypt / rounds,
           rounds, ok ? "" : "; a conversion FAILED");
    DeleteFileA(mot.c_str());
    DeleteFileA(tiv.c_str());
    DeleteFileA(back.c_str());
    return ok ? 0 : 1;
}
