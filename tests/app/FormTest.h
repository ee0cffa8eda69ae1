#pragma once

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "FakePlatformServices.h"
#include "FrmMain.h"
#include "GammaDevice.h"
#include "Module1.h"
#include "Module_SetScreen.h"
#include "RecordingGammaOutputs.h"

// Red, green and blue offsets as handed to the screen.
struct Offsets {
    std::int16_t red;
    std::int16_t green;
    std::int16_t blue;
};

using Positions = std::array<int, 4>;

// The window over a recording screen whose ramp is not the identity, with
// its program folder fresh in the temp folder. Modules start fresh.
class FormTest : public ::testing::Test {
protected:
    FormTest() {
        Module_SetScreen::ResetState();
        Module1::ResetState();
        Module_SetScreen::UseDevice(&device);
        std::filesystem::create_directories(folder);
    }
    ~FormTest() override {
        Module_SetScreen::ResetState();
        Module1::ResetState();
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    std::filesystem::path SettingsFile() const { return folder / u8"KOV调节设置.ini"; }
    void WriteSettings(const std::string& bytes) const {
        std::ofstream(SettingsFile(), std::ios::binary) << bytes;
    }
    std::string Settings() const {
        std::ifstream file(SettingsFile(), std::ios::binary);
        return {std::istreambuf_iterator<char>(file), {}};
    }

    // The ramps written from mark on, as the offsets they were built for.
    void ExpectAppliesSince(std::size_t mark, const std::vector<Offsets>& expected) const {
        const auto& written = screen.Written();
        ASSERT_EQ(written.size() - mark, expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const Offsets& o = expected[i];
            EXPECT_EQ(RampOfTable(written[mark + i].table),
                      Module_SetScreen::BuildWorkRamp(captured, o.red, o.green, o.blue))
                << "apply " << i << " is not (" << o.red << ", " << o.green << ", " << o.blue
                << ")";
        }
    }

    Positions SliderPositions() const {
        return {form.VScrollA[0].Value(), form.VScrollA[1].Value(), form.VScrollA[2].Value(),
                form.VScrollA[3].Value()};
    }

    void ExpectLabelsInStep() const {
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(form.Label5[i].Caption(),
                      std::to_wstring(100 - 2 * form.VScrollA[i].Value()));
        }
    }

    const GammaRamp captured = [] {
        GammaRamp ramp = LinearRamp();
        for (std::size_t i = 0; i < kRampSize; i += 5) {
            ramp[i] = static_cast<RampEntry>(65535 - ramp[i]);
        }
        return ramp;
    }();
    RecordingGammaOutputs screen{captured};
    GammaDevice device{screen};
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("kov-app-test-" + std::to_string(std::random_device()()));
    FakePlatformServices platform{folder};
    FrmMain form{platform};
};
