#include "LinuxPlatformServices.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <string>
#include <system_error>
#include <thread>
#include <utility>

#include "HandOverSocket.h"
#include "RuntimeFolder.h"
#include "WatcherLaunch.h"
#include "X11HotKeys.h"

std::optional<std::filesystem::path> CurrentInstanceLockPath() {
    return CurrentDisplayFile("instance", ".lock");
}

std::optional<std::filesystem::path> CurrentRecordPath() {
    return CurrentDisplayFile("baseline", ".record");
}

LinuxPlatformServices::LinuxPlatformServices(std::optional<std::filesystem::path> lockPath)
    : lockPath_(std::move(lockPath)) {}

LinuxPlatformServices::~LinuxPlatformServices() = default;

namespace {

UniqueFd OpenLockFile(const std::filesystem::path& path) {
    return UniqueFd(
        ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, S_IRUSR | S_IWUSR));
}

// Takes the file's lock if it is free; errno says why not.
bool TryLock(int fd) {
    int result = 0;
    do {
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

// The run lock is held by a run and then by its watcher until the watcher
// is done, so a new run does not capture a screen that a finishing watcher
// is still putting back. A new run waits for it up to two seconds, then
// goes on without it: a watcher held up that long is held up by its display.
UniqueFd TakeRunLock(const std::filesystem::path& path) {
    UniqueFd file = OpenLockFile(path);
    constexpr auto kLongestWait = std::chrono::seconds(2);
    constexpr auto kPause = std::chrono::milliseconds(20);
    const auto deadline = std::chrono::steady_clock::now() + kLongestWait;
    while (file && !TryLock(file.Get())) {
        if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) {
            return {};
        }
        std::this_thread::sleep_for(kPause);
    }
    return file;
}

}  // namespace

std::filesystem::path RunLockPath(const std::filesystem::path& instanceLock) {
    return std::filesystem::path(instanceLock.native() + ".run");
}

// A lock file that cannot be opened cannot tell; the program then runs
// rather than refusing the user.
bool LinuxPlatformServices::AnotherInstanceRunning() {
    if (lock_ || !lockPath_) {
        return false;
    }
    UniqueFd file = OpenLockFile(*lockPath_);
    if (!file) {
        return false;
    }
    if (!TryLock(file.Get())) {
        return errno == EWOULDBLOCK;
    }
    lock_ = std::move(file);
    runLock_ = TakeRunLock(RunLockPath(*lockPath_));
    return false;
}

std::filesystem::path UserSettingsFolder(std::string_view configHome, std::string_view home) {
    const std::filesystem::path config(configHome);
    if (config.is_absolute()) {
        return config / "kov-display";
    }
    return home.empty() ? std::filesystem::path()
                        : std::filesystem::path(home) / ".config/kov-display";
}

bool LinuxPlatformServices::CanCreateFilesIn(const std::filesystem::path& folder) {
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

// $HOME, or the user's home from the password database when it is unset.
std::filesystem::path LinuxPlatformServices::UserSettingsFolder() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') {
        const passwd* user = ::getpwuid(::getuid());
        home = user == nullptr ? nullptr : user->pw_dir;
    }
    return ::UserSettingsFolder(configHome == nullptr ? "" : configHome,
                                home == nullptr ? "" : home);
}

RecordStore* LinuxPlatformServices::BaselineRecord() {
    return record_.Get();
}

// A program copied without its watcher still runs, but is told it has no
// protection should it be killed.
void LinuxPlatformServices::StartWatcher(std::uint32_t run) {
    const std::filesystem::path watcher = ProgramFolder() / kWatcherName;
    watcherPipe_ = LaunchWatcher(watcher, run, runLock_.Get());
    if (!watcherPipe_) {
        std::cerr << "kov-display: could not start " << watcher.native()
                  << "; if the program is killed, the screen keeps the ramp it shows\n";
    }
}

std::filesystem::path LinuxPlatformServices::ProgramFolder() {
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::current_path(error) : executable.parent_path();
}

std::optional<std::filesystem::path> LinuxPlatformServices::HandOverPath() const {
    if (!lockPath_) {
        return std::nullopt;
    }
    return std::filesystem::path(*lockPath_).replace_extension(".socket");
}

// The running program takes its socket only once its window is built;
// a start shortly before this one may still be loading.
bool LinuxPlatformServices::HandOver(std::span<const std::byte> message) {
    using namespace std::chrono_literals;
    const auto path = HandOverPath();
    if (!path) {
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!SendHandOver(*path, message)) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(100ms);
    }
    return true;
}

int LinuxPlatformServices::ListenForHandOvers() {
    const auto path = HandOverPath();
    if (lock_ && path) {
        handOvers_ = BindHandOverSocket(*path);
    }
    return handOvers_ ? handOvers_.Get() : -1;
}

bool LinuxPlatformServices::TakeHandOvers(
    const std::function<void(std::span<const std::byte>)>& arrived) {
    return handOvers_ && ::TakeHandOvers(handOvers_.Get(), arrived);
}

int LinuxPlatformServices::GrabHotKeys(std::span<const HotKey> keys) {
    hotKeys_ = std::make_unique<X11HotKeys>(keys);
    return hotKeys_->Descriptor();
}

bool LinuxPlatformServices::TakeHotKeyPresses(const std::function<void(std::size_t)>& pressed) {
    return hotKeys_ && hotKeys_->TakePresses(pressed);
}
