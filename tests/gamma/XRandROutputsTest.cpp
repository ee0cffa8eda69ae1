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

// What the end-to-end run cannot show: no server, a table the server
// refuses, a server lost.
TEST(XRandROutputs, ARefusedTableIsSaidAndALostServerIsHarmless) {
    const std::string display = std::getenv("DISPLAY");
    setenv("DISPLAY", ":4321", 1);
    const auto none = MakeXRandRGammaOutputs();
    EXPECT_FALSE(GammaDevice(*none).Capture().has_value());
    EXPECT_EQ(none->EventDescriptor(), -1);
    setenv("DISPLAY", display.c_str(), 1);

    const auto outputs = MakeXRandRGammaOutputs();
    GammaDevice device(*outputs);
    ASSERT_TRUE(device.Capture().has_value());
    EXPECT_TRUE(outputs->WriteTable({"DUMMY0", 128}, IdentityTable(128)));
    EXPECT_FALSE(outputs->Flush());

    // One connection learns of the loss by its events, the device's by a write.
    const auto watcher = MakeXRandRGammaOutputs();
    ASSERT_EQ(watcher->ActiveOutputs().size(), 1U);
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
