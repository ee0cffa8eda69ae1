#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "BaselineRecord.h"
#include "UniqueFd.h"

// The watcher is a small executable of its own beside the program,
// `kov-display-watcher RUN`, with the read end of a pipe that only the
// watched program holds open as its standard input. It loads no toolkit,
// so it starts in a few milliseconds and keeps a few hundred kilobytes.
inline constexpr std::string_view kWatcherName = "kov-display-watcher";

// The baseline record of this user on this X display, beside the instance
// lock in the private runtime folder; none without that folder.
std::optional<std::filesystem::path> CurrentRecordPath();

// A baseline record kept in a file, replaced by renaming a temporary file
// beside it over it. Not flushed to the disk: the record matters only while
// the display server runs, the runtime folder lives in memory, and a record
// damaged by a power cut is discarded when read.
class RecordFile final : public RecordStore {
public:
    explicit RecordFile(std::filesystem::path path);

    std::optional<std::string> Read() override;
    bool Write(std::string_view bytes) override;
    void Remove() override;

private:
    std::filesystem::path path_;
    std::filesystem::path temporary_;
};

// Starts the watcher executable as the watcher of run, in a session of its
// own (a terminal's signals to the program do not reach it), with nothing
// open but the pipe and the standard output and error. Gives the pipe's
// write end, which this process holds until it ends; nothing when the
// watcher could not start.
UniqueFd StartWatcher(const std::filesystem::path& watcher, std::uint32_t run);
