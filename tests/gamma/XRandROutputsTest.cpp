#include <gtest/gtest.h>
#include <poll.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "GammaDevice.h"
#include "LinuxOutputs.h"

namespace {

void Xrandr(const std::string& arguments) {
    ASSERT_EQ(std::system(("xrandr " + arguments).c_str()), 0) << arguments;
}

bool Readable(int descriptor) {
    pollfd watched{descriptor, POLLIN, 0};
    return descriptor >= 0 && poll(&watched, 1, 2000) == 1;
}

// What each active output shows, seen through a connection of its own.
std::map<std::string, GammaTable> Shown() {
    const auto view = MakeXRandRGammaOutputs();
    std::map<std::string, GammaTable> shown;
    for (const GammaOutput& output : view->ActiveOutputs()) {
        shown[output.id] = view->ReadTable(output).value_or(GammaTable{});
    }
    return shown;
}

std::map<std::string, GammaTable> Built(std::map<std::string, GammaTable> tables, int offset) {
    for (auto& [id, table] : tables) {
        table = BuildOutputTable(table, offset, 0, static_cast<std::int16_t>(offset / 2));
    }
    return tables;
}

}  // namespace

TEST(XRandROutputs, EachOutputKeepsItsOwnTableThePrimaryComesFirstAndALostServerIsHarmless) {
    const char* const current = std::getenv("DISPLAY");
    ASSERT_NE(current, nullptr);
    const std::string display = current;
    setenv("DISPLAY", ":4321", 1);
    const auto none = MakeXRandRGammaOutputs();
    EXPECT_FALSE(GammaDevice(*none).Capture().has_value());
    EXPECT_EQ(none->EventDescriptor(), -1);
    setenv("DISPLAY", display.c_str(), 1);

    Xrandr("--newmode kov800 40 800 840 968 1056 600 601 605 628 +hsync +vsync");
    Xrandr("--addmode DUMMY1 kov800");
    Xrandr("--output DUMMY1 --mode kov800 --right-of DUMMY0");
    Xrandr("--output DUMMY0 --gamma 0.8:1.1:1.3");
    Xrandr("--output DUMMY1 --gamma 0.7:1.2:1.4");
    const auto before = Shown();
    ASSERT_NE(before.at("DUMMY0"), before.at("DUMMY1"));

    const auto outputs = MakeXRandRGammaOutputs();
    GammaDevice device(*outputs);
    Xrandr("--output DUMMY1 --primary");
    EXPECT_EQ(device.Capture(), RampOfTable(before.at("DUMMY1")));
    Xrandr("--output DUMMY0 --primary");
    ASSERT_EQ(device.Capture(), RampOfTable(before.at("DUMMY0")));
    EXPECT_TRUE(device.CanAdjust());
    // The server refuses a table of another size at the flush, and the connection stays.
    EXPECT_TRUE(outputs->WriteTable({"DUMMY0", 128}, IdentityTable(128)));
    EXPECT_FALSE(outputs->Flush());
    device.Apply(-100, 0, -50);
    EXPECT_EQ(Shown(), Built(before, -100));
    device.Restore();
    EXPECT_EQ(Shown(), before);

    // One connection learns of the loss by its events, the device's by a write.
    const auto watcher = MakeXRandRGammaOutputs();
    ASSERT_EQ(watcher->ActiveOutputs().size(), 2U);
    pid_t server = 0;
    ASSERT_TRUE(std::ifstream("/tmp/.X" + display.substr(1) + "-lock") >> server);
    ASSERT_EQ(kill(server, SIGTERM), 0);
    ASSERT_TRUE(Readable(watcher->EventDescriptor()));
    watcher->TakeEvents();
    EXPECT_EQ(watcher->EventDescriptor(), -1);
    ASSERT_TRUE(Readable(device.EventDescriptor()));
    device.Apply(-100, 0, 0);
    EXPECT_EQ(device.EventDescriptor(), -1);
    device.Restore();
    EXPECT_FALSE(outputs->Flush());
}
