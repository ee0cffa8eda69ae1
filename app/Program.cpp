#include "Program.h"

#include <random>

#include "Module_SetScreen.h"

namespace {

// Makes the device the one Module_SetScreen reaches while this lives.
class ScreenInUse {
public:
    explicit ScreenInUse(GammaDevice& device) { Module_SetScreen::UseDevice(&device); }
    ScreenInUse(const ScreenInUse&) = delete;
    ScreenInUse& operator=(const ScreenInUse&) = delete;
    ~ScreenInUse() { Module_SetScreen::UseDevice(nullptr); }
};

}  // namespace

Program::Program(PlatformServices& platform, GammaDevice& screen)
    : platform_(platform), screen_(screen), form_(platform) {}

int Program::Run(FrontEnd& frontEnd) {
    frontEnd_ = &frontEnd;
    const ScreenInUse screenInUse(screen_);
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

void Program::Unload() {
    if (!unloaded_) {
        unloaded_ = true;
        form_.Form_Unload();
    }
}
