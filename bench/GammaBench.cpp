#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "GammaDevice.h"
#include "Module_SetScreen.h"

namespace {

GammaRamp CapturedRamp() {
    GammaRamp ramp = LinearRamp();
    for (std::size_t i = 0; i < kRampSize; ++i) {
        ramp[i] = static_cast<RampEntry>(ramp[i] ^ (i * 2654435761U >> 20));
    }
    return ramp;
}

// The rule written out entry by entry in double precision, as a yardstick.
GammaRamp NaiveBuild(const GammaRamp& captured, const std::int16_t (&offsets)[3]) {
    GammaRamp result;
    for (std::size_t i = 0; i < kRampSize; ++i) {
        const int h = static_cast<int>(std::nearbyint(offsets[i / kRampLevels] / 2.0));
        const int x = captured[i];
        if (h == 0) {
            result[i] = captured[i];
            continue;
        }
        const double exact =
            h < 0 ? (100 - std::abs(h)) * x / 100.0 : 65535.0 - (100 - h) * (65535 - x) / 100.0;
        result[i] = static_cast<RampEntry>(std::nearbyint(exact));
    }
    return result;
}

void BM_BuildWorkRamp(benchmark::State& state) {
    const GammaRamp captured = CapturedRamp();
    std::int16_t red = -60;
    for (auto _ : state) {
        benchmark::DoNotOptimize(red);
        benchmark::DoNotOptimize(Module_SetScreen::BuildWorkRamp(captured, red, 34, 100));
    }
}
BENCHMARK(BM_BuildWorkRamp);

void BM_NaiveDoubleReference(benchmark::State& state) {
    const GammaRamp captured = CapturedRamp();
    std::int16_t offsets[3] = {-60, 34, 100};
    for (auto _ : state) {
        benchmark::DoNotOptimize(offsets);
        benchmark::DoNotOptimize(NaiveBuild(captured, offsets));
    }
}
BENCHMARK(BM_NaiveDoubleReference);

// One output that keeps only the table it shows, so the loop does not grow
// memory.
class OutputStandIn final : public GammaOutputs {
public:
    std::vector<GammaOutput> ActiveOutputs() override { return {{"bench", kRampLevels}}; }
    std::optional<GammaTable> ReadTable(const GammaOutput& /*output*/) override { return shown_; }
    bool WriteTable(const GammaOutput& /*output*/, std::span<const RampEntry> table) override {
        std::ranges::copy(table, shown_.begin());
        benchmark::ClobberMemory();
        return true;
    }
    bool Flush() override { return true; }
    int EventDescriptor() const override { return -1; }
    bool TakeEvents() override { return false; }

private:
    GammaTable shown_ = [] {
        const GammaRamp ramp = CapturedRamp();
        return GammaTable(ramp.begin(), ramp.end());
    }();
};

// The whole apply without a display: build the ramp and the output's table
// and hand it over.
void BM_ApplyGamma(benchmark::State& state) {
    OutputStandIn output;
    GammaDevice device(output);
    Module_SetScreen::ResetState();
    Module_SetScreen::UseDevice(&device);
    Module_SetScreen::SaveGamma();
    std::int16_t offset = -100;
    for (auto _ : state) {
        Module_SetScreen::ApplyGamma(offset, 20, -4);
        offset = static_cast<std::int16_t>(offset == 100 ? -100 : offset + 2);
    }
    Module_SetScreen::ResetState();
}
BENCHMARK(BM_ApplyGamma);

}  // namespace
