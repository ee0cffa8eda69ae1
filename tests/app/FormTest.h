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

using Offsets = std::array<std::int16_t, 3>;  // red, green, blue, as handed to the screen
using Positions = std::array<int, 4>;         // all channels, red, green, blue

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
    static std::string Contents(const std::filesystem::path& path) {
        std::ifstream file(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), {}};
    }
    std::string Settings() const { return Contents(SettingsFile()); }

    // The ramps written from mark on, as the offsets they were built for.
    void ExpectAppliesSince(std::size_t mark, const std::vector<Offsets>& expected) const {
        const auto& written = screen.Written();
        ASSERT_EQ(written.size() - mark, expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const auto [red, green, blue] = expected[i];
            EXPECT_EQ(RampOfTable(written[mark + i].table),
                      Module_SetScreen::BuildWorkRamp(captured, red, green, blue))
                << "apply " << i << " is not (" << red << ", " << green << ", " << blue << ")";
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
