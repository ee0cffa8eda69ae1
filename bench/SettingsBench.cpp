#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "INIFileModule1.h"

namespace {

// A settings file as the program leaves it: the comment, AUTOLOAD and six
// presets, then extraLines further keys before the last preset.
std::string SettingsText(int extraLines) {
    std::string text =
        ";KOV\xb5\xf7\xbd\xda\xcf\xd4\xca\xbe\xc6\xf7\xc9\xe8\xd6\xc3   "
        "\xd7\xf7\xd5\xdf\xa3\xbaTavrin   Email:tavrin@example.com\r\nAUTOLOAD=0\r\n";
    for (int slot = 1; slot <= 5; ++slot) {
        text += "RGB" + std::to_string(slot) + "=10,-20,0\r\n";
    }
    for (int i = 0; i < extraLines; ++i) {
        text += "KEY" + std::to_string(i) + "=12,-34,56\r\n";
    }
    return text + "RGB6=-8,0,8\r\n";
}

// The file lives in the system's temporary folder (TMPDIR chooses it, and
// with it the file system whose flush is measured).
class BenchFile {
public:
    explicit BenchFile(std::string_view text)
        : path_(std::filesystem::temp_directory_path() / "kov-settings-bench.ini") {
        std::ofstream file(path_, std::ios::binary | std::ios::trunc);
        file.write(text.data(), static_cast<std::streamsize>(text.size()));
    }
    ~BenchFile() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    BenchFile(const BenchFile&) = delete;
    BenchFile& operator=(const BenchFile&) = delete;

    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Lines before the last preset: 0 gives the typical 8-line file, 9992 a
// file of 10,000 lines.
constexpr int kTypical = 0;
constexpr int kTenThousandLines = 10000 - 8;

void BM_WriteIniValue(benchmark::State& state) {
    const BenchFile file(SettingsText(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        if (!INIFileModule1::WriteIniValue(file.Path(), L"RGB6", L"-8,0,8")) {
            state.SkipWithError("WriteIniValue failed");
            break;
        }
    }
}
BENCHMARK(BM_WriteIniValue)->Arg(kTypical)->Arg(kTenThousandLines)->UseRealTime();

void BM_ReadIniValue(benchmark::State& state) {
    const BenchFile file(SettingsText(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        benchmark::DoNotOptimize(INIFileModule1::ReadIniValue(file.Path(), L"RGB6"));
    }
}
BENCHMARK(BM_ReadIniValue)->Arg(kTypical)->Arg(kTenThousandLines)->UseRealTime();

}  // namespace
