#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string_view>

#include "BaselineRecord.h"
#include "HotKey.h"

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

    // Brings the window of the instance already running to the front,
    // restored if it was minimised, when the system lets this process.
    virtual void ShowRunningInstance() = 0;

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

    // Hands message to the instance that runs for this user on this display
    // server (Windows: in this session), giving one that is still starting
    // a few seconds to take it. False when none took it.
    virtual bool HandOver(std::span<const std::byte> message) = 0;

    // Starts taking what later starts hand over. Returns a descriptor that
    // turns readable when a message may be waiting (see TakeHandOvers), or
    // -1 when messages come to the window instead (reported through
    // ProgramEvents::HandOverArrived) or cannot come at all.
    virtual int ListenForHandOvers() = 0;
    // Passes each message waiting, and from this user only, to arrived;
    // false once no more can come.
    virtual bool TakeHandOvers(const std::function<void(std::span<const std::byte>)>& arrived) = 0;

    // Claims keys on the whole desktop: a press of keys[i], wherever the
    // focus is, is reported with i. A key that cannot be had is skipped.
    // Returns a descriptor that turns readable when a press may be waiting
    // (see TakeHotKeyPresses), or -1 when presses are reported through
    // ProgramEvents::HotKeyPressed or cannot come at all.
    virtual int GrabHotKeys(std::span<const HotKey> keys) = 0;
    // Passes the index of each key pressed to pressed; false once no more
    // presses can come.
    virtual bool TakeHotKeyPresses(const std::function<void(std::size_t)>& pressed) = 0;
};
