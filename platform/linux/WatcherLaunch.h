#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "UniqueFd.h"

// The watcher is a small executable of its own beside the program,
// `kov-display-watcher RUN`, with the read end of a pipe that only the
// watched program holds open as its standard input. It loads no toolkit,
// so it starts in a few milliseconds and keeps a few hundred kilobytes.
inline constexpr std::string_view kWatcherName = "kov-display-watcher";

// Starts the watcher executable as the watcher of run, in a session of its
// own (a terminal's signals to the program do not reach it), with nothing
// open but the pipe, the standard output and error, and heldLock (unless
// -1) as descriptor 3, which it holds until it ends. Gives the pipe's write
// end, which this process holds until it ends; nothing when the watcher
// could not start.
UniqueFd LaunchWatcher(const std::filesystem::path& watcher, std::uint32_t run, int heldLock);
