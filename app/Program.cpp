#include "Program.h"

#include <functional>
#include <random>
#include <string>

#include "Module1.h"
#include "Module_SetScreen.h"

namespace {

// Makes the device the one Module_SetScreen reaches, reporting its applies,
// while this lives.
class ScreenInUse {
public:
    ScreenInUse(GammaDevice& device, std::function<void()> report) : device_(device) {
        Module_SetScreen::UseDevice(&device);
        device.ReportAppliesTo(std::move(report));
    }
    ScreenInUse(const ScreenInUse&) = delete;
    ScreenInUse& operator=(const ScreenInUse&) = delete;
    ~ScreenInUse() {
        device_.ReportAppliesTo(nullptr);
        Module_SetScreen::UseDevice(nullptr);
    }

private:
    GammaDevice& device_;
};

}  // namespace

Program::Program(PlatformServices& platform, GammaDevice& screen)
    : platform_(platform),
      screen_(screen),
      form_(platform),
      usualNumberColour_(form_.Label5[1].ForeColor()) {}

int Program::Run(FrontEnd& frontEnd, const std::optional<Request>& start) {
    frontEnd_ = &frontEnd;
    const ScreenInUse screenInUse(screen_, [this] { ShowWhatScreenShows(); });
    try {
        const int status = LoadAndRun(frontEnd, start);
        Unload();
        return status;
    } catch (...) {
        // Whatever went wrong, the screen gets its own ramp back.
        Unload();
        return 1;
    }
}

// The run up to the unload: 0 when the start is refused or a stop comes
// before the event loop, else the loop's status.
int Program::LoadAndRun(FrontEnd& frontEnd, const std::optional<Request>& start) {
    // The mark that tells this run's record from another run's.
    const std::uint32_t run = std::random_device()();
    screen_.KeepRecordIn(platform_.BaselineRecord(), run);
    if (!form_.Form_Load(!start)) {
        return 0;
    }
    if (start) {
        Carry(*start);
    }
    if (screen_.KeepsRecord()) {
        platform_.StartWatcher(run);
    }
    if (!screen_.CanAdjust()) {
        platform_.ShowNotice(kCannotAdjustNotice, kProgramTitle);
    }
    if (stopRequested_) {
        return 0;
    }
    frontEnd.BuildWindow(PlanWindow(form_));
    WatchScreen(frontEnd);
    TakeRequests(frontEnd);
    return frontEnd.RunEventLoop();
}

void Program::StopRequested() {
    stopRequested_ = true;
    frontEnd_->Quit();
}

void Program::SessionEnding() {
    Unload();
    frontEnd_->Quit();
}

void Program::DisplaysChanged() {
    screen_.Reapply();
}

bool Program::KeyPressed(wchar_t key) {
    return form_.Form_KeyPress(key);
}

// Outputs that come or change while the program runs are reported on the
// screen's connection, which the capture opened; once it is gone (the
// display server went away) there is nothing more to watch.
void Program::WatchScreen(FrontEnd& frontEnd) {
    const int fd = screen_.EventDescriptor();
    if (fd >= 0) {
        frontEnd.WatchDescriptor(fd, [this, fd] {
            screen_.TakeEvents();
            return screen_.EventDescriptor() == fd;
        });
    }
}

void Program::HandOverArrived(std::span<const std::byte> message) {
    if (const std::optional<Request> request = DecodeHandOver(message)) {
        Carry(*request);
    }
}

void Program::HotKeyPressed(std::size_t index) {
    if (index < hotKeys_.size()) {
        Carry(hotKeys_[index].request);
    }
}

// The global keys are read once, at start, from the file the presets came
// from.
void Program::TakeRequests(FrontEnd& frontEnd) {
    const int handOvers = platform_.ListenForHandOvers();
    if (handOvers >= 0) {
        frontEnd.WatchDescriptor(handOvers, [this] {
            return platform_.TakeHandOvers(
                [this](std::span<const std::byte> message) { HandOverArrived(message); });
        });
    }
    hotKeys_ = ReadHotKeySettings(Module1::SettingsPath);
    if (hotKeys_.empty()) {
        return;
    }
    std::vector<HotKey> keys;
    for (const HotKeySetting& setting : hotKeys_) {
        keys.push_back(setting.key);
    }
    const int presses = platform_.GrabHotKeys(keys);
    if (presses >= 0) {
        frontEnd.WatchDescriptor(presses, [this] {
            return platform_.TakeHotKeyPresses([this](std::size_t index) { HotKeyPressed(index); });
        });
    }
}

// Once the window has unloaded, the screen is not touched again.
void Program::Carry(const Request& request) {
    if (unloaded_) {
        return;
    }
    if (request.action == Request::Action::ReadPreset) {
        form_.ReadSlotFromOutside(request.slot);
    } else {
        form_.Label9_Click();
    }
}

std::optional<int> HandOverToRunningProgram(PlatformServices& platform,
                                            const std::optional<Request>& request) {
    if (!request || !platform.AnotherInstanceRunning()) {
        return std::nullopt;
    }
    return platform.HandOver(EncodeHandOver(*request)) ? 0 : 1;
}

void Program::Unload() {
    if (!unloaded_) {
        unloaded_ = true;
        form_.Form_Unload();
    }
}

void Program::ShowWhatScreenShows() {
    const auto shown = screen_.ChannelsShown();
    for (int channel = 1; channel <= form_.Label5.kLast; ++channel) {
        const bool showing = shown[static_cast<std::size_t>(channel - 1)];
        Label& number = form_.Label5[channel];
        number.SetForeColor(showing ? usualNumberColour_ : kRed);
        number.SetToolTip(showing ? L"" : std::wstring(kNotShownTip));
    }
}
