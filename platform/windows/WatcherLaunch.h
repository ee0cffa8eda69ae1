#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>

// The switch that makes the program the watcher of a run:
// `KOV调节显示器.exe --watch-run HANDLE RUN`, where HANDLE is an inherited
// handle to the watched program's process (a handle's value has 32
// significant bits, so it is passed as one). Checked before anything else in
// wWinMain, so a watcher makes no window and no instance mutex.
inline constexpr std::wstring_view kWatchSwitch = L"--watch-run";

// Starts this executable as the watcher of run. It inherits a handle to this
// process that can only be waited on and asked for its id, and one to heldObject (unless null),
// which it holds until it ends; it shows no window, no taskbar button and
// no busy cursor.
void LaunchWatcher(std::uint32_t run, HANDLE heldObject);

// The watcher's life, with arguments the command line after the switch
// (see RunWatcher). Returns the exit status: 2, touching nothing, when the
// arguments are not a process handle and a run, or the wait fails.
int RunWatcherFromCommandLine(std::wstring_view arguments);
