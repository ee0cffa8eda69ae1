#include <gtest/gtest.h>
#include <poll.h>

#include <csignal>
#include <cstdlib>
#include <string>

#include "GammaDevice.h"
#include "LinuxOutputs.h"

namespace {

bool Readable(int descriptor) {
    pollfd watched{descriptor, POLLIN, 0};
    return descriptor >= 0 && poll(&watched, 1, 2000) == 1;
}

}  // namespace

// What the end-to-end run cannot show: no server, the primary taken first
// where two outputs differ, a table the server refuses, a server lost.
TEST(XRandROutputs, ThePrimaryComesFirstARefusedTableIsSaidAndALostServerIsHarmless) {
    const std::string display = std::getenv("DISPLAY");
    setenv("DISPLAY", ":4321", 1);
    const auto none = MakeXRandRGammaOutputs();
    EXPECT_FALSE(GammaDevice(*none).Capture().has_value());
    EXPECT_EQ(none->EventDescriptor(), -1);
    setenv("DISPLAY", display.c_str(), 1);

    for (const std::string xrandr :
         {"--newmode kov800 40 800 840 968 1056 600 601 605 628 +hsync +vsync",
          "--addmode DUMMY1 kov800", "--output DUMMY1 --mode kov800 --right-of DUMMY0",
          "--output DUMMY1 --gamma 0.7:1.2:1.4 --primary"}) {
        ASSERT_EQ(std::system(("xrandr " + xrandr).c_str()), 0) << xrandr;
    }
    const auto outputs = MakeXRandRGammaOutputs();
    GammaDevice device(*outputs);
    const auto captured = device.Capture();
    const GammaRamp primary = RampOfTable(outputs->ReadTable({"DUMMY1", 256}).value());
    ASSERT_NE(primary, RampOfTable(outputs->ReadTable({"DUMMY0", 256}).value()));
    EXPECT_EQ(captured, primary);
    EXPECT_TRUE(outputs->WriteTable({"DUMMY0", 128}, IdentityTable(128)));
    EXPECT_FALSE(outputs->Flush());

    // One connection learns of the loss by its events, the device's by a write.
    const auto watcher = MakeXRandRGammaOutputs();
    ASSERT_EQ(watcher->ActiveOutputs().size(), 2U);
    ASSERT_EQ(kill(std::atoi(std::getenv("XORG_DUMMY_PID")), SIGTERM), 0);
    ASSERT_TRUE(Readable(watcher->EventDescriptor()));
    watcher->TakeEvents();
    EXPECT_EQ(watcher->EventDescriptor(), -1);
    ASSERT_TRUE(Readable(device.EventDescriptor()));
    device.Apply(-100, 0, 0);
    EXPECT_EQ(device.EventDescriptor(), -1);
    device.Restore();
    EXPECT_FALSE(outputs->Flush());
}
