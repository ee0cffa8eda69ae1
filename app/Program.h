#pragma once

#include "FrmMain.h"
#include "FrontEnd.h"
#include "GammaDevice.h"
#include "PlatformServices.h"

// The program's life, the same on every platform: the screen's gamma
// device is in use for the whole run; the window loads, shows and runs its
// event loop; and the window unloads exactly once, however the run ends (the
// window closed, a stop signal, the end of the session, an error escaping
// the event loop, or a refused second start). When the load finds that the
// desktop lets no output's gamma be adjusted, a notice says so before the
// window shows; the window then works as usual on its presets. A run that
// keeps a baseline record has a watcher started once the window has loaded,
// so that the screen gets its own ramp back however the process ends.
class Program final : public ProgramEvents {
public:
    Program(PlatformServices& platform, GammaDevice& screen);

    // Runs the program with frontEnd; returns the exit status.
    int Run(FrontEnd& frontEnd);

    void StopRequested() override;
    void SessionEnding() override;
    void DisplaysChanged() override;
    bool KeyPressed(wchar_t key) override;

    // The program's window.
    FrmMain& Form() { return form_; }

private:
    int LoadAndRun(FrontEnd& frontEnd);
    void WatchScreen(FrontEnd& frontEnd);
    void Unload();

    PlatformServices& platform_;
    GammaDevice& screen_;
    FrmMain form_;
    FrontEnd* frontEnd_ = nullptr;
    bool unloaded_ = false;
    // Once a stop is asked for, even during the load's notices, the event
    // loop does not start.
    bool stopRequested_ = false;
};

inline constexpr std::wstring_view kCannotAdjustNotice =
    L"本桌面不允许程序调节显示器的伽马值，调节将不起作用。";
