#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>

#include "GammaOutputs.h"

// The watcher: a process of its own, started by the program, that puts the
// screen's own ramp back once the program has ended, however it ended.
// Each platform starts it and gives it the wait; its work is the same
// everywhere.

// What the watcher needs of its platform.
class WatcherPlatform {
public:
    WatcherPlatform() = default;
    WatcherPlatform(const WatcherPlatform&) = delete;
    WatcherPlatform& operator=(const WatcherPlatform&) = delete;
    virtual ~WatcherPlatform() = default;

    // Returns once the watched program has ended; false when it cannot be
    // waited for.
    virtual bool WaitForProgramEnd() = 0;

    // Where this user's baseline record for this screen is kept; none when
    // nowhere.
    virtual std::optional<std::filesystem::path> RecordPath() = 0;
};

// The watcher of run: waits for the program's end, then puts back what run
// left on the screen (GammaDevice::PutBackAfterRun). It reaches the display
// (through connectScreen) only then, so it holds no connection while the
// program runs. Returns the exit status: 2 when the program could not be
// waited for, and nothing was touched.
int RunWatcher(std::uint32_t run, WatcherPlatform& platform,
               std::unique_ptr<GammaOutputs> (*connectScreen)());
