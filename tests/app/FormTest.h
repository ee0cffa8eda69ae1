#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "FakePlatformServices.h"
#include "FrmMain.h"
#include "GammaDevice.h"
#include "Module1.h"
#include "Module_SetScreen.h"
#include "RecordingGammaOutputs.h"

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
