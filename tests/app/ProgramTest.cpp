#include <functional>
#include <stdexcept>
#include <tuple>

#include "FormTest.h"
#include "Program.h"

namespace {

class FakeFrontEnd final : public FrontEnd {
public:
    void BuildWindow(std::span<const PlannedControl> plan) override { built = !plan.empty(); }
    int RunEventLoop() override {
        ++loops;
        duringLoop();
        return 7;
    }
    void Quit() override { ++quits; }
    void WatchDescriptor(int fd, std::function<bool()> onReadable) override {
        watched = fd;
        readable = std::move(onReadable);
    }

    std::function<void()> duringLoop = [] {};
    bool built = false;
    int loops = 0;
    int quits = 0;
    int watched = -1;
    std::function<bool()> readable;
};

// One way the program's run can end.
struct WayOut {
    const char* what;
    bool anotherInstance;
    void (*duringLoop)(Program&);
    int status;
};

void Move(Program& program) {
    program.Form().VScrollA[1].SetValue(10);
}

// clang-format off
const WayOut kWaysOut[] = {
    {"the window closes", false, Move, 7},
    {"a stop signal", false, [](Program& p) { Move(p); p.StopRequested(); }, 7},
    {"the session ends", false, [](Program& p) { Move(p); p.SessionEnding(); }, 7},
    {"an error escapes the loop", false, [](Program& p) { Move(p); throw std::runtime_error("lost"); }, 1},
    {"a refused second start", true, Move, 0},
};
// clang-format on

void PrintTo(const WayOut& way, std::ostream* out) {
    *out << way.what;
}

class ProgramTest : public FormTest, public ::testing::WithParamInterface<WayOut> {};

}  // namespace

TEST_P(ProgramTest, TheWindowUnloadsExactlyOnceAndTheScreenGetsItsRampBack) {
    const WayOut& way = GetParam();
    platform.anotherInstance = way.anotherInstance;
    Program program(platform, device);
    FakeFrontEnd frontEnd;
    frontEnd.duringLoop = [&] { way.duringLoop(program); };
    EXPECT_EQ(program.Run(frontEnd), way.status);
    EXPECT_EQ(frontEnd.loops, way.anotherInstance ? 0 : 1);
    EXPECT_EQ(frontEnd.built, !way.anotherInstance);
    EXPECT_EQ(screen.Writes(), way.anotherInstance ? 0 : 2);
    EXPECT_EQ(screen.Screen(), captured);
    EXPECT_FALSE(std::filesystem::exists(SettingsFile()));
    EXPECT_EQ(platform.watchedRun.has_value(), !way.anotherInstance);
    EXPECT_FALSE(platform.record.bytes);
}

INSTANTIATE_TEST_SUITE_P(WaysOut, ProgramTest, ::testing::ValuesIn(kWaysOut));

TEST_F(FormTest, AStopWhileANoticeShowsEndsTheProgramWithoutItsLoop) {
    screen.Refuse("primary", true);
    for (const bool anotherInstance : {true, false}) {
        platform.anotherInstance = anotherInstance;
        Program program(platform, device);
        FakeFrontEnd frontEnd;
        platform.onNotice = [&] { program.StopRequested(); };
        EXPECT_EQ(program.Run(frontEnd), 0);
        EXPECT_EQ(frontEnd.quits, 1);
        EXPECT_EQ(frontEnd.loops, 0);
    }
}

// Whether the primary output can be read, whether an XWayland output is there too, and
// whether the program says no output can be adjusted.
using Desktop = std::tuple<bool, bool, bool>;
class CannotAdjustTest : public FormTest, public ::testing::WithParamInterface<Desktop> {};

TEST_P(CannotAdjustTest, TheNoticeShowsOnceBeforeTheWindowWhenNoOutputCanBeAdjusted) {
    const auto [primaryRead, xwayland, notice] = GetParam();
    screen.Refuse("primary", !primaryRead);
    if (xwayland) {
        screen.Show("XWAYLAND0", {captured.begin(), captured.end()});
    }
    Program program(platform, device);
    FakeFrontEnd frontEnd;
    platform.onNotice = [&] { EXPECT_FALSE(frontEnd.built); };
    EXPECT_EQ(program.Run(frontEnd), 7);
    const std::wstring said =
        std::wstring(kProgramTitle) + L": " + std::wstring(kCannotAdjustNotice);
    EXPECT_EQ(platform.notices, std::vector<std::wstring>(notice ? 1 : 0, said));
    EXPECT_EQ(frontEnd.loops, 1);
}

INSTANTIATE_TEST_SUITE_P(Desktops, CannotAdjustTest,
                         ::testing::Values(Desktop{true, false, false}, Desktop{false, false, true},
                                           Desktop{false, true, true}, Desktop{true, true, false}));

TEST_F(FormTest, TheScreensEventsAreWatchedWhileTheyCanComeAndDisplayChangesReapply) {
    screen.SetEventDescriptor(5);
    Program program(platform, device);
    FakeFrontEnd frontEnd;
    frontEnd.duringLoop = [&] {
        program.Form().VScrollA[1].SetValue(10);
        EXPECT_TRUE(frontEnd.readable());
        screen.SetEventDescriptor(-1);
        EXPECT_FALSE(frontEnd.readable());
        program.DisplaysChanged();
    };
    program.Run(frontEnd);
    EXPECT_EQ(frontEnd.watched, 5);
    EXPECT_EQ(screen.Writes(), 3);
}

TEST_F(FormTest, AChannelTheScreenDoesNotShowHasItsNumberInRedUntilItDoes) {
    Program program(platform, device);
    FakeFrontEnd frontEnd;
    frontEnd.duringLoop = [&] {
        for (const bool refused : {true, false}) {
            screen.Refuse("primary", refused);
            program.Form().VScrollA[1].SetValue(refused ? 49 : 51);
            for (int i = 0; i <= 3; ++i) {
                const Label& number = program.Form().Label5[i];
                const bool red = refused && i == 1;
                EXPECT_EQ(number.ForeColor(), red ? kRed : kButtonText) << i;
                EXPECT_EQ(number.ToolTip(), red ? kNotShownTip : L"") << i;
            }
        }
    };
    program.Run(frontEnd);
    EXPECT_TRUE(platform.notices.empty());
}
