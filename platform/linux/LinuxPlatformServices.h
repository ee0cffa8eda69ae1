#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>

#include "PlatformServices.h"
#include "RecordFile.h"
#include "UniqueFd.h"

// The instance lock of this process's user on its X display, in the
// user's private runtime folder; none when there is no such folder.
std::optional<std::filesystem::path> CurrentInstanceLockPath();

// The run lock beside an instance lock (see LinuxPlatformServices).
std::filesystem::path RunLockPath(const std::filesystem::path& instanceLock);

// baseline-<display>.record in the private runtime folder, one per X
// display; none when there is no such folder.
std::optional<std::filesystem::path> CurrentRecordPath();

// The folder for this user's settings of the program, by the XDG base
// directory rules: $XDG_CONFIG_HOME/kov-display, where an unset, empty or
// relative $XDG_CONFIG_HOME stands for ~/.config. Empty without a home.
std::filesystem::path UserSettingsFolder(std::string_view configHome, std::string_view home);

// The platform services of the Linux program, without the notice, which is
// the toolkit's. An instance is claimed by holding an flock on the lock
// file for the life of the process; the lock goes with the process however
// it ends. Without a lock file the program runs rather than refusing the
// user. Once claimed, the run lock beside it is taken too, and handed on to
// the watcher, which holds it until it is done. The baseline record lives
// beside the locks, and the watcher's pipe is held for the life of the
// process. Later starts hand their requests over through a socket beside
// the lock (the lock's path with the extension .socket), and global keys
// are grabbed on the X server.
class X11HotKeys;

class LinuxPlatformServices : public PlatformServices {
public:
    explicit LinuxPlatformServices(std::optional<std::filesystem::path> lockPath);
    ~LinuxPlatformServices() override;

    bool AnotherInstanceRunning() override;
    std::filesystem::path ProgramFolder() override;
    bool CanCreateFilesIn(const std::filesystem::path& folder) override;
    std::filesystem::path UserSettingsFolder() override;
    RecordStore* BaselineRecord() override;
    void StartWatcher(std::uint32_t run) override;
    bool HandOver(std::span<const std::byte> message) override;
    int ListenForHandOvers() override;
    bool TakeHandOvers(const std::function<void(std::span<const std::byte>)>& arrived) override;
    int GrabHotKeys(std::span<const HotKey> keys) override;
    bool TakeHotKeyPresses(const std::function<void(std::size_t)>& pressed) override;

private:
    std::optional<std::filesystem::path> HandOverPath() const;

    std::optional<std::filesystem::path> lockPath_;
    UniqueFd lock_;
    UniqueFd runLock_;
    CurrentRecord record_{&CurrentRecordPath};
    UniqueFd watcherPipe_;
    UniqueFd handOvers_;
    std::unique_ptr<X11HotKeys> hotKeys_;
};
