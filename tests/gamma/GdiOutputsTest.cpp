#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>

#include "GammaDevice.h"
#include "GdiOutputs.h"
#include "Module_SetScreen.h"

namespace {

// How Windows refuses a ramp: FALSE up to Windows 10 1809, TRUE with
// nothing set since 1903.
enum class Refusal { False, TrueSettingNothing };

// GDI by Windows' documented rules: a ramp is refused when entry i of any
// channel lies further than 128 * 256 from i * 256; a display without the
// gamma-ramp capability (or with advanced colour on) shows no ramp, and
// nothing may be written to it. Display "1" is the primary.
class WindowsGdi final : public GdiCalls {
public:
    struct Display {
        GammaRamp shown = LinearRamp();
        bool showsRamps = true;
        bool keepsEightBits = false;  // as Wine's X11 driver does
    };

    std::vector<DisplayEntry> Displays() override {
        std::vector<DisplayEntry> entries;
        for (const auto& [name, display] : displays) {
            entries.push_back({name, true, name == L"1", false});
        }
        return entries;
    }
    bool ShowsRamps(const std::wstring& name) override { return displays.at(name).showsRamps; }
    bool GetRamp(const std::wstring& name, GammaRamp& ramp) override {
        ramp = displays.at(name).shown;
        return true;
    }
    bool SetRamp(const std::wstring& name, const GammaRamp& ramp) override {
        Display& display = displays.at(name);
        EXPECT_TRUE(display.showsRamps) << "a ramp written to a display that shows none";
        for (std::size_t i = 0; i < kRampSize; ++i) {
            if (std::abs(ramp[i] - static_cast<int>(i % kRampLevels) * 256) > 128 * 256) {
                return refusal == Refusal::TrueSettingNothing;
            }
        }
        display.shown = display.keepsEightBits ? EightBits(ramp) : ramp;
        return true;
    }

    static GammaRamp EightBits(GammaRamp ramp) {
        for (RampEntry& entry : ramp) {
            entry = static_cast<RampEntry>((entry >> 8) * 257);
        }
        return ramp;
    }

    std::map<std::wstring, Display> displays{{L"1", {}}};
    Refusal refusal = Refusal::False;
};

using Shown = std::array<bool, kRampChannels>;

class GdiOutputsTest : public ::testing::TestWithParam<Refusal> {
protected:
    std::unique_ptr<WindowsGdi> owned = std::make_unique<WindowsGdi>();
    WindowsGdi& gdi = *owned;
    GammaRamp& screen = gdi.displays[L"1"].shown;
    GdiOutputs outputs{std::move(owned)};
    GammaDevice device{outputs};
};

}  // namespace

TEST_F(GdiOutputsTest, AnIdentityBaseTakesEveryOffsetExactly) {
    device.Capture();
    for (int o = -100; o <= 100; o += 2) {
        const auto offset = static_cast<std::int16_t>(o);
        const auto negative = static_cast<std::int16_t>(-o);
        device.Apply(offset, negative, 0);
        ASSERT_EQ(screen, Module_SetScreen::BuildWorkRamp(LinearRamp(), offset, negative, 0));
        ASSERT_EQ(device.ChannelsShown(), (Shown{true, true, true}));
    }
}

// Lifted, the black of a base near the window's edge stops at the edge.
TEST_F(GdiOutputsTest, ACalibratedBaseIsHeldInsideTheWindowTowardItsBase) {
    for (std::size_t i = 0; i < kRampLevels; ++i) {
        screen[i] = static_cast<RampEntry>(std::min<std::size_t>(65535, i * 257 + 20000));
    }
    const GammaRamp base = screen;
    device.Capture();
    device.Apply(100, 0, 0);
    const GammaRamp wanted = Module_SetScreen::BuildWorkRamp(base, 100, 0, 0);
    EXPECT_EQ(screen[0], 128 * 256);
    for (std::size_t i = 0; i < kRampSize; ++i) {
        EXPECT_TRUE(screen[i] >= base[i] && screen[i] <= wanted[i]) << i;
    }
    EXPECT_EQ(device.ChannelsShown(), (Shown{true, true, true}));
}

// A base whose red black lies beyond the window: only a deep darkening of
// red brings every entry inside it.
TEST_P(GdiOutputsTest, ARefusedRampLeavesTheLastAcceptedOneShownAndKnown) {
    gdi.refusal = GetParam();
    gdi.displays[L"1"].keepsEightBits = true;
    for (std::size_t i = 0; i < kRampLevels; ++i) {
        screen[i] = static_cast<RampEntry>(34000 + i * 123);
    }
    const GammaRamp base = screen;
    device.Capture();
    device.Apply(-2, 0, 0);
    EXPECT_EQ(screen, base);
    EXPECT_EQ(device.ChannelsShown(), (Shown{false, true, true}));
    device.Apply(-100, 0, 0);
    const GammaRamp accepted =
        WindowsGdi::EightBits(Module_SetScreen::BuildWorkRamp(base, -100, 0, 0));
    EXPECT_EQ(screen, accepted);
    EXPECT_EQ(device.ChannelsShown(), (Shown{true, true, true}));
    device.Apply(-2, -2, 0);
    EXPECT_EQ(screen, accepted);
    EXPECT_EQ(device.ChannelsShown(), (Shown{false, false, true}));
}

INSTANTIATE_TEST_SUITE_P(Refusals, GdiOutputsTest,
                         ::testing::Values(Refusal::False, Refusal::TrueSettingNothing));

TEST_F(GdiOutputsTest, DisplaysThatShowNoRampAreLeftAloneAsOftenAsAsked) {
    gdi.displays[L"1"].showsRamps = false;
    device.Capture();
    EXPECT_FALSE(device.CanAdjust());
    gdi.displays[L"2"] = {};
    device.Capture();
    device.Apply(-50, 0, 0);
    EXPECT_EQ(gdi.displays[L"2"].shown, Module_SetScreen::BuildWorkRamp(LinearRamp(), -50, 0, 0));
    std::swap(gdi.displays[L"1"].showsRamps, gdi.displays[L"2"].showsRamps);
    device.Reapply();
    EXPECT_EQ(screen, gdi.displays[L"2"].shown);
    device.Apply(-20, 0, 0);
}
