#include "Program.h"

#include <functional>
#include <random>
#include <string>

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

int Program::Run(FrontEnd& frontEnd) {
    frontEnd_ = &frontEnd;
    const ScreenInUse screenInUse(screen_, [this] { ShowWhatScreenShows(); });
    try {
        const int status = LoadAndRun(frontEnd);
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
int Program::LoadAndRun(FrontEnd& frontEnd) {
    // The mark that tells this run's record from another run's.
    const std::uint32_t run = std::random_device()();
    screen_.KeepRecordIn(platform_.BaselineRecord(), run);
    if (!form_.Form_Load()) {
        return 0;
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
