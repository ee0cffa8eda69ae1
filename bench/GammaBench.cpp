#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>

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

// A screen that keeps only the ramp it shows, so the loop does not grow memory.
class ScreenStandIn final : public GammaDevice {
public:
    bool ReadRamp(GammaRamp& ramp) override {
        ramp = shown_;
        return true;
    }
    bool WriteRamp(const GammaRamp& ramp) override {
        shown_ = ramp;
        benchmark::ClobberMemory();
        return true;
    }

private:
    GammaRamp shown_ = CapturedRamp();
};

// The whole apply: build the ramp and hand it to the screen.
void BM_ApplyGamma(benchmark::State& state) {
    ScreenStandIn screen;
    Module_SetScreen::ResetState();
    Module_SetScreen::UseDevice(&screen);
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
