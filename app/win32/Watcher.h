#pragma once

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "BaselineRecord.h"
#include "GammaOutputs.h"
#include "RecordFile.h"

// The switch that makes the program the watcher of a run:
// `KOV调节显示器.exe --watch-run HANDLE RUN`, where HANDLE is an inherited
// handle to the watched program's process (a handle's value has 32
// significant bits, so it is passed as one). Checked before anything else in
// wWinMain, so a watcher makes no window and no instance mutex.
inline constexpr std::wstring_view kWatchSwitch = L"--watch-run";

// Starts this executable as the watcher of run. It inherits one handle, to
// this process, that can only be waited on; it shows no window, no taskbar
// button and no busy cursor.
void StartWatcher(std::uint32_t run);

// The watcher's life, with arguments the command line after the switch:
// waits until the watched program has ended, however it ended, then puts
// back what run left on the screen's outputs
// (GammaDevice::PutBackAfterRun). Returns the exit status.
int RunWatcher(std::wstring_view arguments, GammaOutputs& outputs);
