// Save and load time of a 10,000-scan measuring data file in each layout:
// seconds and MB/s for every save and for the loads of the readable layouts.
#include "bench/BenchClock.h"
#include <cstdio>
#include <string>

#include "sensor/MeasuringData.h"

namespace {

DWORD FileBytes(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return data.nFileSizeLow;
}

void Report(const char* what, const char* layout, DWORD bytes, double seconds, int ok) {
    if (seconds <= 0) seconds = 1e-6;
    std::printf("%-5s %-12s %6.1f MB in %7.3f s: %7.1f MB/s%s\n", what, layout, bytes / 1e6, seconds,
                bytes / 1e6 / seconds, ok ? "" : "  FAILED");
}

}  // namespace

int main() {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const DWORD kScans = MeasuringData::kMaxScans;

    // Distances like a room scan: mostly 3 to 5 digits, some steps without echo.
    MeasuringData data;
    for (DWORD i = 0; i < kScans; ++i) {
        ScanData scan;
        for (WORD k = 0; k < ScanData::kStepCount; ++k) {
            WORD value = static_cast<WORD>(300 + (k * 37 + i * 11) % 9000);
            if ((k + i) % 97 == 0) value = 0xFFFF;
            scan.SetStep(k, value);
        }
        data.Append(scan);
    }

    struct Layout {
        const char* name;
        BYTE format;
        int columns;  // read back with LoadColumns
        int readable;
    };
    const Layout layouts[] = {
        {"Distance", MeasuringData::kFormatDistance, 0, 1},
        {"ASIC Memory", MeasuringData::kFormatAsicMemory, 0, 0},
        {"Distance2", MeasuringData::kFormatDistance2, 1, 1},
    };
    int failures = 0;
    for (const Layout& layout : layouts) {
        std::string path = std::string(folder) + "tiv_bench_" + std::to_string(layout.format) + ".csv";
        data.SetSaveFormat(layout.format);
        double start = BenchSeconds();
        int saved = data.Save(path.c_str());
        Report("save", layout.name, FileBytes(path), BenchSeconds() - start, saved);
        failures += !saved;
        if (layout.readable) {
            MeasuringData loaded;
            start = BenchSeconds();
            int ok = layout.columns ? loaded.LoadColumns(path.c_str()) : loaded.Load(path.c_str());
            ok = ok && loaded.Count() == kScans;
            Report("load", layout.name, FileBytes(path), BenchSeconds() - start, ok);
            failures += !ok;
        }
        DeleteFileA(path.c_str());
    }
    return failures == 0 ? 0 : 1;
}
