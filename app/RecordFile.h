#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "BaselineRecord.h"

// The baseline record kept in a file, replaced in one step (Files::ReplaceFile).
// Not flushed to the disk: the record matters only while the session and
// its display run, and a record damaged by a power cut is discarded when read.
class RecordFile final : public RecordStore {
public:
    // A record holds a few tables of a few kilobytes; anything larger is
    // damage, and is not read.
    static constexpr std::size_t kMaxBytes = std::size_t{1} << 20;

    explicit RecordFile(std::filesystem::path path) : path_(std::move(path)) {}

    std::optional<std::string> Read() override;
    // Makes the record's folder first when it is missing.
    bool Write(std::string_view bytes) override;
    void Remove() override;

private:
    std::filesystem::path path_;
};

// A record file opened when first asked for and kept; where it lives is
// asked of the platform (`where`) only then.
class CurrentRecord {
public:
    using Where = std::optional<std::filesystem::path> (*)();
    explicit CurrentRecord(Where where) : where_(where) {}

    // nullptr when no record can be kept.
    RecordStore* Get();

private:
    Where where_;
    std::optional<RecordFile> file_;
};
