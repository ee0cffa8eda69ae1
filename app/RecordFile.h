#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "BaselineRecord.h"

// The baseline record kept in a file, replaced by putting a temporary file
// beside it over it. Not flushed to the disk: the record matters only while
// the session and its display run, and a record damaged by a power cut is
// discarded when read. One implementation per platform, beside its watcher.
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

// Where this user's record lives: on Linux beside the instance lock in the
// private runtime folder, one per X display; on Windows under the local
// application data folder (or else the temp folder), one per session. None
// when no such folder can be had.
std::optional<std::filesystem::path> CurrentRecordPath();

// The record at CurrentRecordPath(), opened when first asked for and kept.
class CurrentRecord {
public:
    // nullptr when no record can be kept.
    RecordStore* Get() {
        if (!file_) {
            if (const auto path = CurrentRecordPath()) {
                file_.emplace(*path);
            }
        }
        return file_ ? &*file_ : nullptr;
    }

private:
    std::optional<RecordFile> file_;
};
