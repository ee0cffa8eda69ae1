#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "BaselineRecord.h"

// What the window needs from the operating system beyond its controls.
// Each front end supplies one; tests supply a fake.
class PlatformServices {
public:
    PlatformServices() = default;
    PlatformServices(const PlatformServices&) = delete;
    PlatformServices& operator=(const PlatformServices&) = delete;
    virtual ~PlatformServices() = default;

    // Whether another instance of the program is already running. A false
    // answer also claims the instance, so a later start gets true.
    virtual bool AnotherInstanceRunning() = 0;

    // A modal message box with the information icon and one OK button;
    // returns when the user has dismissed it.
    virtual void ShowNotice(std::wstring_view text, std::wstring_view title) = 0;

    // The folder that holds the program's executable.
    virtual std::filesystem::path ProgramFolder() = 0;

    // Whether this user may create files in folder. Nothing is left behind
    // by asking.
    virtual bool CanCreateFilesIn(const std::filesystem::path& folder) = 0;

    // The folder for this user's own settings of this program; it need not
    // exist yet. Empty when the system names none.
    virtual std::filesystem::path UserSettingsFolder() = 0;

    // Where this user's baseline record for this screen is kept; nullptr
    // when there is no place for it.
    virtual RecordStore* BaselineRecord() = 0;

    // Starts the watcher: a process of its own that waits for this one to
    // end and then puts back what run `run` left on the screen (see
    // GammaDevice::PutBackAfterRun). Without it, only the next start can.
    virtual void StartWatcher(std::uint32_t run) = 0;
};
