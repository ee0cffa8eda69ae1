#pragma once

#include <windows.h>

#include <memory>

#include "FrontEnd.h"
#include "MainWindow.h"

// The Windows front end: the native window and the message loop.
class Win32FrontEnd final : public FrontEnd {
public:
    Win32FrontEnd(HINSTANCE instance, int showCommand, ProgramEvents& events);

    void BuildWindow(std::span<const PlannedControl> plan) override;
    int RunEventLoop() override;
    void Quit() override;
    // Displays on Windows report their changes by window messages; there is
    // never a descriptor to watch.
    void WatchDescriptor(int fd, std::function<bool()> onReadable) override;

    MainWindow* Window() const { return window_.get(); }

private:
    HINSTANCE instance_;
    int showCommand_;
    ProgramEvents& events_;
    std::unique_ptr<MainWindow> window_;
};
