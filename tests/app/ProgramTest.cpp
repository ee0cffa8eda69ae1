#include <functional>
#include <stdexcept>

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
    void Quit() override {}
    void WatchDescriptor(int fd, std::function<bool()> onReadable) override {
        watched = fd;
        readable = std::move(onReadable);
    }

    std::function<void()> duringLoop = [] {};
    bool built = false;
    int loops = 0;
    int watched = -1;
    std::function<bool()> readable;
};

// One way the program's run can end. A stop may come while a notice shows:
// the second start's, or the one that says no output can be adjusted.
struct WayOut {
    const char* what;
    bool anotherInstance;
    bool stopDuringNotice;
    void (*duringLoop)(Program&);
    int status;
};

void Move(Program& program) {
    program.Form().VScrollA[1].SetValue(10);
}

// clang-format off
const WayOut kWaysOut[] = {
    {"the session ends", false, false, [](Program& p) { Move(p); p.SessionEnding(); }, 7},
    {"an error escapes the loop", false, false, [](Program& p) { Move(p); throw std::runtime_error("lost"); }, 1},
    {"a refused second start", true, false, Move, 0},
    {"a stop during the notice that nothing can be adjusted", false, true, Move, 0},
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
    if (way.stopDuringNotice) {
        screen.Refuse("primary", true);
        platform.onNotice = [&] { program.StopRequested(); };
    }
    const bool runs = !way.anotherInstance && !way.stopDuringNotice;
    EXPECT_EQ(program.Run(frontEnd), way.status);
    EXPECT_EQ(frontEnd.loops, runs ? 1 : 0);
    EXPECT_EQ(frontEnd.built, runs);
    EXPECT_EQ(screen.Writes(), runs ? 2 : 0);
    EXPECT_EQ(screen.Screen(), captured);
    EXPECT_FALSE(std::filesystem::exists(SettingsFile()));
    EXPECT_EQ(platform.watchedRun.has_value(), runs);
    EXPECT_FALSE(platform.record.bytes);
}

INSTANTIATE_TEST_SUITE_P(WaysOut, ProgramTest, ::testing::ValuesIn(kWaysOut));

// Slot 2 is the start-up preset, slot 3 is (20, -4, 0), slot 4 is empty.
class RequestTest : public FormTest {
protected:
    RequestTest() {
        WriteSettings(
            "AUTOLOAD=2\r\nRGB2=-10,-10,-10\r\nRGB3=20,-4,0\r\nHOTKEY3=Ctrl+Alt+3\r\n"
            "HOTKEY0=ctrl+alt+0\r\nHOTKEY5=Ctrl+Alt+Q+3\r\nHOTKEY6=Alt+Ctrl+3\r\n");
    }
    static std::vector<std::byte> Message(const Request& request) {
        const HandOverMessage message = EncodeHandOver(request);
        return {message.begin(), message.end()};
    }
    Program program{platform, device};
    FakeFrontEnd frontEnd;
};

TEST_F(RequestTest, AResetAtStartAppliesNothingButTheCapturedRamp) {
    program.Run(frontEnd, Request{});
    ExpectAppliesSince(0, {{0, 0, 0}, {0, 0, 0}});
}

// Valid requests, handed over or by key, are carried out end to end; here
// all else is ignored: an empty or unknown slot, a message of no request, a
// key not grabbed. A key written twice or wrongly is grabbed once or not.
TEST_F(RequestTest, WhatIsNoValidRequestIsIgnored) {
    frontEnd.duringLoop = [&] {
        ASSERT_EQ(platform.grabbed,
                  (std::vector{*ParseHotKey(L"Ctrl+Alt+0"), *ParseHotKey(L"Ctrl+Alt+3")}));
        program.HandOverArrived(Message({Request::Action::ReadPreset, 4}));
        program.HandOverArrived(Message({Request::Action::ReadPreset, 7}));
        program.HandOverArrived({});
        program.HotKeyPressed(2);
        program.HotKeyPressed(static_cast<std::size_t>(-1));
        // Saving a preset keeps the keys' lines as it keeps every line.
        program.Form().Command2_Click(0);
        program.Form().Label6_Click(4);
        EXPECT_NE(Settings().find("\r\nHOTKEY6=Alt+Ctrl+3\r\nRGB4=-10,-10,-10\r\n"),
                  std::string::npos);
    };
    program.Run(frontEnd);
}

// A start on a slot with none running, and a hand-over taken, are seen end
// to end; one not taken ends with status 1, touching nothing.
TEST_F(RequestTest, AHandOverNotTakenEndsTheSecondStartWithStatusOne) {
    platform.anotherInstance = true;
    platform.handOverTaken = false;
    EXPECT_EQ(HandOverToRunningProgram(platform, Request{}), 1);
    EXPECT_EQ(platform.handedOver, Message(Request{}));
    EXPECT_EQ(platform.notices.size() + screen.Reads() + screen.Writes(), 0U);
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
