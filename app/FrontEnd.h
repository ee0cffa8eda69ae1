#pragma once

#include <cstddef>
#include <functional>
#include <span>

#include "WindowPlan.h"

// What a front end reports to the program besides the user's input to the
// controls, which goes straight to the control model.
class ProgramEvents {
public:
    ProgramEvents() = default;
    ProgramEvents(const ProgramEvents&) = delete;
    ProgramEvents& operator=(const ProgramEvents&) = delete;
    virtual ~ProgramEvents() = default;

    // The user or the system asks the program to stop (a stop signal).
    virtual void StopRequested() = 0;
    // The session ends, and the process may be ended as soon as this returns.
    virtual void SessionEnding() = 0;
    // Displays may have come, gone, woken or been reset (Windows reports a
    // display change, resume from sleep and session unlock).
    virtual void DisplaysChanged() = 0;
    // A later start handed over message (where it comes to the window).
    virtual void HandOverArrived(std::span<const std::byte> message) = 0;
    // The global key of index i, as claimed by PlatformServices::GrabHotKeys,
    // was pressed (where presses come to the window's thread).
    virtual void HotKeyPressed(std::size_t index) = 0;
    // A key pressed in the window that its focused control did not use, as
    // the character it types (a digit; Escape is U+001B), held with no
    // modifier beyond Shift. True when the window used it.
    virtual bool KeyPressed(wchar_t key) = 0;
};

// A toolkit's part of the program: the native window and the event loop.
// It builds widgets from the plan, forwards the user's input to the control
// model, redraws what the model changed, and reports everything else to the
// ProgramEvents it was made with; it decides nothing itself.
class FrontEnd {
public:
    FrontEnd() = default;
    FrontEnd(const FrontEnd&) = delete;
    FrontEnd& operator=(const FrontEnd&) = delete;
    virtual ~FrontEnd() = default;

    // Builds the native window for the plan's controls, hidden, showing the
    // model as it stands. The controls outlive the window's use of them:
    // the window is not used after RunEventLoop has returned.
    virtual void BuildWindow(std::span<const PlannedControl> plan) = 0;

    // Shows the window and runs the event loop until the window has closed
    // or Quit was called; returns the exit status.
    virtual int RunEventLoop() = 0;

    // Asks every running event loop to end, a modal notice's included.
    virtual void Quit() = 0;

    // Has the event loop watch a descriptor: whenever it can be read,
    // onReadable runs, until it returns false.
    virtual void WatchDescriptor(int fd, std::function<bool()> onReadable) = 0;
};
