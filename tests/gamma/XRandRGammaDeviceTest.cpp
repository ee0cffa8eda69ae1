// Runs against a real X server whose CRTCs keep their gamma (Xorg with the
// dummy driver): the ramps are set and read back here through XRandR itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "GammaDevice.h"
#include "Module_SetScreen.h"
#include "RampResample.h"
#include "ServerGamma.h"

namespace {

std::span<const RampEntry> Channel(const GammaRamp& ramp, std::size_t channel) {
    return std::span<const RampEntry>(ramp).subspan(RampIndex(channel, 0), kRampLevels);
}

std::span<const RampEntry> Channel(const CrtcTables& tables, std::size_t channel) {
    return std::span<const RampEntry>(tables.entries)
        .subspan(channel * tables.levels, tables.levels);
}

// A 256-level ramp as a CRTC of the given size should hold it.
CrtcTables SpreadTo(const GammaRamp& ramp, std::size_t levels) {
    CrtcTables tables{levels, {}};
    for (std::size_t channel = 0; channel < kRampChannels; ++channel) {
        const auto table = ResampleLevels(Channel(ramp, channel), levels);
        tables.entries.insert(tables.entries.end(), table.begin(), table.end());
    }
    return tables;
}

GammaRamp GatherFrom(const CrtcTables& tables) {
    GammaRamp ramp{};
    for (std::size_t channel = 0; channel < kRampChannels; ++channel) {
        const auto table = ResampleLevels(Channel(tables, channel), kRampLevels);
        std::copy(table.begin(), table.end(), ramp.begin() + RampIndex(channel, 0));
    }
    return ramp;
}

// A curved ramp that differs per CRTC and per channel, so a restore can be
// told apart from a straight ramp and from another CRTC's ramp.
CrtcTables DistinctCurve(std::size_t levels, std::size_t crtcIndex) {
    CrtcTables tables{levels, {}};
    for (std::size_t channel = 0; channel < kRampChannels; ++channel) {
        for (std::size_t i = 0; i < levels; ++i) {
            const std::uint64_t x = i * 65535 / (levels - 1);
            const std::uint64_t curved = x * x / 65535;
            const std::uint64_t lifted = curved + (crtcIndex * 3 + channel + 1) * 97;
            tables.entries.push_back(static_cast<RampEntry>(lifted > 65535 ? 65535 : lifted));
        }
    }
    return tables;
}

class XRandRGammaDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        Module_SetScreen::ResetState();
        ASSERT_TRUE(server.Connected()) << "no X server at DISPLAY";
        ASSERT_FALSE(server.Crtcs().empty()) << "the server lists no CRTC";
        for (std::size_t k = 0; k < server.Crtcs().size(); ++k) {
            const CrtcId crtc = server.Crtcs()[k];
            before.push_back(DistinctCurve(server.Levels(crtc), k));
            server.Write(crtc, before.back());
            ASSERT_EQ(server.Read(crtc), before.back()) << "CRTC " << crtc << " keeps no gamma";
        }
    }
    void TearDown() override { Module_SetScreen::ResetState(); }

    void ExpectEveryCrtcHolds(const GammaRamp& ramp) const {
        for (const CrtcId crtc : server.Crtcs()) {
            EXPECT_EQ(server.Read(crtc), SpreadTo(ramp, server.Levels(crtc))) << "CRTC " << crtc;
        }
    }

    void ExpectEveryCrtcBackAsBefore() const {
        for (std::size_t k = 0; k < server.Crtcs().size(); ++k) {
            EXPECT_EQ(server.Read(server.Crtcs()[k]), before[k]) << "CRTC " << server.Crtcs()[k];
        }
    }

    ServerGamma server;
    std::vector<CrtcTables> before;
    std::unique_ptr<GammaDevice> device = MakeScreenGammaDevice();
};

}  // namespace

TEST_F(XRandRGammaDeviceTest, ReadReportsTheFirstCrtcsRampAndChangesNothing) {
    GammaRamp read{};
    ASSERT_TRUE(device->ReadRamp(read));
    EXPECT_EQ(read, GatherFrom(server.Read(server.Crtcs().front())));
    ExpectEveryCrtcBackAsBefore();
}

TEST_F(XRandRGammaDeviceTest, ApplySetsEveryCrtcAndRestorePutsBackEachOwnRamp) {
    Module_SetScreen::UseDevice(device.get());
    Module_SetScreen::SaveGamma();
    ASSERT_TRUE(Module_SetScreen::RampCaptured);
    EXPECT_EQ(Module_SetScreen::SavedRamp, GatherFrom(before.front()));

    Module_SetScreen::ApplyGamma(-100, 0, 0);
    const GammaRamp darkerRed =
        Module_SetScreen::BuildWorkRamp(Module_SetScreen::SavedRamp, -100, 0, 0);
    ASSERT_NE(darkerRed, Module_SetScreen::SavedRamp);
    ExpectEveryCrtcHolds(darkerRed);

    Module_SetScreen::RestoreGamma();
    ExpectEveryCrtcBackAsBefore();
}

TEST_F(XRandRGammaDeviceTest, AnyOtherRampGoesToEveryCrtcUntilTheReportedOneComesBack) {
    GammaRamp read{};
    ASSERT_TRUE(device->ReadRamp(read));
    ASSERT_TRUE(device->WriteRamp(LinearRamp()));
    ExpectEveryCrtcHolds(LinearRamp());
    ASSERT_TRUE(device->WriteRamp(read));
    ExpectEveryCrtcBackAsBefore();
}

namespace {

// Points DISPLAY elsewhere (or nowhere) for one test and puts it back after.
class DisplayVariable {
public:
    explicit DisplayVariable(const std::optional<std::string>& value) {
        if (const char* current = std::getenv("DISPLAY")) {
            saved_ = current;
        }
        Set(value);
    }
    DisplayVariable(const DisplayVariable&) = delete;
    DisplayVariable& operator=(const DisplayVariable&) = delete;
    ~DisplayVariable() { Set(saved_); }

private:
    static void Set(const std::optional<std::string>& value) {
        if (value) {
            setenv("DISPLAY", value->c_str(), 1);
        } else {
            unsetenv("DISPLAY");
        }
    }

    std::optional<std::string> saved_;
};

class NoServer : public ::testing::TestWithParam<std::optional<std::string>> {
protected:
    void TearDown() override { Module_SetScreen::ResetState(); }
};

}  // namespace

TEST_P(NoServer, ReadFailsAndNothingCountsAsCaptured) {
    const DisplayVariable display(GetParam());
    const auto device = MakeScreenGammaDevice();

    GammaRamp ramp{};
    ramp.fill(1234);
    EXPECT_FALSE(device->ReadRamp(ramp));
    GammaRamp untouched{};
    untouched.fill(1234);
    EXPECT_EQ(ramp, untouched);
    EXPECT_FALSE(device->WriteRamp(LinearRamp()));

    Module_SetScreen::ResetState();
    Module_SetScreen::UseDevice(device.get());
    Module_SetScreen::SaveGamma();
    EXPECT_FALSE(Module_SetScreen::RampCaptured);
    Module_SetScreen::ApplyGamma(-100, 0, 0);
    Module_SetScreen::RestoreGamma();
}

INSTANTIATE_TEST_SUITE_P(DisplayUnsetOrAbsent, NoServer,
                         ::testing::Values(std::nullopt, std::optional<std::string>(":4321"),
                                           std::optional<std::string>("")));
