#include <gtest/gtest.h>

#include "Module_SetScreen.h"
#include "RecordingGammaDevice.h"

namespace {

GammaRamp SomeScreenRamp() {
    GammaRamp ramp = LinearRamp();
    for (std::size_t i = 0; i < kRampSize; i += 7) {
        ramp[i] = static_cast<RampEntry>(65535 - ramp[i]);
    }
    return ramp;
}

class Module_SetScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        Module_SetScreen::ResetState();
        Module_SetScreen::UseDevice(&screen);
    }
    void TearDown() override { Module_SetScreen::ResetState(); }

    const GammaRamp captured = SomeScreenRamp();
    RecordingGammaDevice screen{captured};
};

}  // namespace

TEST_F(Module_SetScreenTest, SaveGammaCapturesTheScreensRamp) {
    Module_SetScreen::SaveGamma();
    EXPECT_TRUE(Module_SetScreen::RampCaptured);
    EXPECT_EQ(Module_SetScreen::SavedRamp, captured);
    EXPECT_EQ(screen.Reads(), 1);
    EXPECT_EQ(screen.Writes(), 0);
}

TEST_F(Module_SetScreenTest, ApplyWritesTheBuiltRampOnceAndLeavesTheLastOffsetsAlone) {
    Module_SetScreen::SaveGamma();
    Module_SetScreen::ApplyGamma(-100, 20, 0);
    const GammaRamp expected = Module_SetScreen::BuildWorkRamp(captured, -100, 20, 0);
    ASSERT_EQ(screen.Writes(), 1);
    EXPECT_EQ(screen.Written().back(), expected);
    EXPECT_EQ(Module_SetScreen::WorkRamp, expected);
    EXPECT_EQ(Module_SetScreen::SavedRamp, captured);
    EXPECT_EQ(Module_SetScreen::CurRed, 0);
    EXPECT_EQ(Module_SetScreen::CurGreen, 0);
}

TEST_F(Module_SetScreenTest, ZeroOffsetsStillSetTheScreenOnce) {
    Module_SetScreen::SaveGamma();
    Module_SetScreen::ApplyGamma(0, 0, 0);
    ASSERT_EQ(screen.Writes(), 1);
    EXPECT_EQ(screen.Screen(), captured);
}

TEST_F(Module_SetScreenTest, OffsetsAreAbsoluteNotCumulative) {
    Module_SetScreen::SaveGamma();
    Module_SetScreen::ApplyGamma(-100, 0, 0);
    const GammaRamp once = screen.Screen();
    Module_SetScreen::ApplyGamma(-100, 0, 0);
    EXPECT_EQ(screen.Screen(), once);
    Module_SetScreen::ApplyGamma(0, 0, 0);
    EXPECT_EQ(screen.Screen(), captured);
}

TEST_F(Module_SetScreenTest, RestorePutsTheCapturedRampBack) {
    Module_SetScreen::SaveGamma();
    Module_SetScreen::ApplyGamma(-60, 30, 100);
    Module_SetScreen::ApplyGamma(12, -100, -4);
    Module_SetScreen::RestoreGamma();
    EXPECT_EQ(screen.Writes(), 3);
    EXPECT_EQ(screen.Screen(), captured);
}

TEST_F(Module_SetScreenTest, WithoutACaptureNothingReachesTheScreen) {
    Module_SetScreen::ApplyGamma(-100, -100, -100);
    Module_SetScreen::RestoreGamma();
    EXPECT_EQ(screen.Reads(), 0);
    EXPECT_EQ(screen.Writes(), 0);
    EXPECT_EQ(screen.Screen(), captured);
}

TEST_F(Module_SetScreenTest, AFailedCaptureDoesNotCount) {
    screen.FailReads(true);
    Module_SetScreen::SaveGamma();
    EXPECT_FALSE(Module_SetScreen::RampCaptured);
    Module_SetScreen::ApplyGamma(-100, -100, -100);
    Module_SetScreen::RestoreGamma();
    EXPECT_EQ(screen.Writes(), 0);
}

TEST_F(Module_SetScreenTest, ARefusedWriteIsIgnoredAndLaterWritesStillHappen) {
    Module_SetScreen::SaveGamma();
    screen.FailWrites(true);
    Module_SetScreen::ApplyGamma(-100, 0, 0);
    screen.FailWrites(false);
    Module_SetScreen::RestoreGamma();
    EXPECT_EQ(screen.Writes(), 2);
    EXPECT_EQ(screen.Screen(), captured);
}

TEST_F(Module_SetScreenTest, ANewCaptureReplacesTheOldOne) {
    Module_SetScreen::SaveGamma();
    Module_SetScreen::ApplyGamma(-100, 0, 0);
    const GammaRamp darkened = screen.Screen();
    Module_SetScreen::SaveGamma();
    Module_SetScreen::RestoreGamma();
    EXPECT_EQ(screen.Screen(), darkened);
}
