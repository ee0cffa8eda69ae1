#pragma once

#include "FrmMain.h"
#include "FrontEnd.h"
#include "GammaDevice.h"
#include "PlatformServices.h"

// The program's life, the same on every platform: the screen's gamma
// device is in use for the whole run; the window loads, shows and runs its
// event loop; and the window unloads exactly once, however the run ends (the
// window closed, a stop signal, the end of the session, an error escaping
// the event loop, or a refused second start). A run that keeps a baseline
// record has a watcher started once the window has loaded, so that the
// screen gets its own ramp back however the process ends.
class Program final : public ProgramEvents {
public:
    Program(PlatformServices& platform, GammaDevice& screen);

    // Runs the program with frontEnd; returns the exit status.
    int Run(FrontEnd& frontEnd);

    void StopRequested() override;
    void SessionEnding() override;
    void DisplaysChanged() override;

    // The program's window.
    FrmMain& Form() { return form_; }

private:
    void WatchScreen(FrontEnd& frontEnd);
    void Unload();

    PlatformServices& platform_;
    GammaDevice& screen_;
    FrmMain form_;
    FrontEnd* frontEnd_ = nullptr;
    bool unloaded_ = false;
};
