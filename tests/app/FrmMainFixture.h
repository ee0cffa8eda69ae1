#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
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

// A window on a recording screen and fake platform, with its own program
// folder in the temp directory. The modules start fresh for every test.
class FrmMainTest : public ::testing::Test {
protected:
    void SetUp() override {
        Module_SetScreen::ResetState();
        Module1::ResetState();
        Module_SetScreen::UseDevice(&device);
        std::filesystem::create_directories(folder);
    }

    void TearDown() override {
        Module_SetScreen::ResetState();
        Module1::ResetState();
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    std::filesystem::path SettingsFile() const { return folder / u8"KOV调节设置.ini"; }

    void WriteSettings(const std::string& bytes) const {
        std::ofstream file(SettingsFile(), std::ios::binary);
        file << bytes;
    }

    std::string ReadSettings() const {
        std::ifstream file(SettingsFile(), std::ios::binary);
        std::ostringstream bytes;
        bytes << file.rdbuf();
        return bytes.str();
    }

    void Load() { ASSERT_TRUE(form.Form_Load()); }

    // Checks the ramps written from the index mark on, one per offsets.
    void ExpectWritesSince(std::size_t mark, const std::vector<Offsets>& expected) const {
        const auto& written = screen.Written();
        ASSERT_GE(written.size(), mark);
        ASSERT_EQ(written.size() - mark, expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const Offsets& o = expected[i];
            EXPECT_TRUE(RampOfTable(written[mark + i].table) ==
                        Module_SetScreen::BuildWorkRamp(captured, o.red, o.green, o.blue))
                << "write " << i << " is not the ramp for (" << o.red << ", " << o.green << ", "
                << o.blue << ")";
        }
    }

    std::size_t WriteCount() const { return screen.Written().size(); }

    std::array<std::wstring, 4> Labels() const {
        return {form.Label5[0].Caption(), form.Label5[1].Caption(), form.Label5[2].Caption(),
                form.Label5[3].Caption()};
    }

    std::array<int, 4> Positions() const {
        return {form.VScrollA[0].Value(), form.VScrollA[1].Value(), form.VScrollA[2].Value(),
                form.VScrollA[3].Value()};
    }

    static GammaRamp SomeScreenRamp() {
        GammaRamp ramp = LinearRamp();
        for (std::size_t i = 0; i < kRampSize; i += 5) {
            ramp[i] = static_cast<RampEntry>(65535 - ramp[i]);
        }
        return ramp;
    }

    static std::filesystem::path UniqueFolder() {
        std::random_device random;
        return std::filesystem::temp_directory_path() /
               ("kov-app-test-" + std::to_string(random()) + "-" + std::to_string(random()));
    }

    const GammaRamp captured = SomeScreenRamp();
    RecordingGammaOutputs screen{captured};
    GammaDevice device{screen};
    const std::filesystem::path folder = UniqueFolder();
    FakePlatformServices platform{folder};
    FrmMain form{platform};
};
