#include "WatcherLaunch.h"

#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

#include <array>
#include <csignal>
#include <utility>

namespace {

using SpawnActions =
    UniquePointerHandle<posix_spawn_file_actions_t, &posix_spawn_file_actions_destroy>;
using SpawnAttributes = UniquePointerHandle<posix_spawnattr_t, &posix_spawnattr_destroy>;

}  // namespace

UniqueFd LaunchWatcher(const std::filesystem::path& watcher, std::uint32_t run, int heldLock) {
    std::array<int, 2> ends{-1, -1};
    if (::pipe2(ends.data(), O_CLOEXEC) != 0) {
        return {};
    }
    const UniqueFd readEnd(ends[0]);
    UniqueFd writeEnd(ends[1]);

    posix_spawn_file_actions_t actionsData;
    posix_spawn_file_actions_init(&actionsData);
    const SpawnActions actions(&actionsData);
    posix_spawn_file_actions_adddup2(actions.Get(), readEnd.Get(), STDIN_FILENO);
    int firstClosed = STDERR_FILENO + 1;
    if (heldLock >= 0) {
        posix_spawn_file_actions_adddup2(actions.Get(), heldLock, firstClosed++);
    }
    // Descriptors this process was handed without close-on-exec stay here too.
    posix_spawn_file_actions_addclosefrom_np(actions.Get(), firstClosed);
    posix_spawnattr_t attributesData;
    posix_spawnattr_init(&attributesData);
    const SpawnAttributes attributes(&attributesData);
    sigset_t noSignals;
    sigemptyset(&noSignals);
    posix_spawnattr_setsigmask(attributes.Get(), &noSignals);
    posix_spawnattr_setflags(attributes.Get(), POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK);

    std::string name(kWatcherName);
    std::string runText = std::to_string(run);
    std::array<char*, 3> arguments{name.data(), runText.data(), nullptr};
    pid_t started = 0;
    if (posix_spawn(&started, watcher.c_str(), actions.Get(), attributes.Get(), arguments.data(),
                    environ) != 0) {
        return {};
    }
    return writeEnd;
}
