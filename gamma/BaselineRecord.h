#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "GammaOutputs.h"

// The baseline record: what a run must put back on the screen should it end
// without its restore. It holds, for every output the run has changed, the
// table captured from it (its base) and hashes of the two tables of the
// run's that it may show: the one set on it before and the one set last,
// which the record names before the output is given it. It also holds the
// mark of the run that wrote it. A watcher process, or the next start,
// reads it to put the bases back where the screen still shows one of those
// tables, and to leave alone a screen that anyone else changed.

// FNV-1a (64 bits) of the high byte of each of a table's entries. A display
// may keep fewer than 16 bits of what was set (Wine's X11 driver keeps 8:
// v becomes (v >> 8) * 257), so a table read back is known for ours by its
// 8 significant bits.
std::uint64_t TableHash(std::span<const RampEntry> table);

struct RecordedOutput {
    std::string id;
    GammaTable base;
    std::uint64_t setBefore = 0;  // TableHash of the table set on it before
    std::uint64_t lastSet = 0;    // TableHash of the table set on it last

    bool operator==(const RecordedOutput&) const = default;
};

struct BaselineRecord {
    std::uint32_t owner = 0;  // the run that wrote it
    std::vector<RecordedOutput> outputs;

    bool operator==(const BaselineRecord&) const = default;
};

// The record as bytes: a tag, a version, then the fields, numbers
// little-endian, strings and tables after their lengths.
std::string EncodeRecord(const BaselineRecord& record);

// The record those bytes hold; nothing when they are short, long, of another
// version or not a record at all.
std::optional<BaselineRecord> DecodeRecord(std::string_view bytes);

// The base to put back on the output id when it shows `shown`: the recorded
// base, when `shown` is one of the two tables the record says were set on
// that output; otherwise nothing (the output is not in the record, or shows
// a table the run did not set: someone else has changed it since).
const GammaTable* DeadRunBase(const BaselineRecord& record, const std::string& id,
                              const GammaTable& shown);

// Where the record is kept. A record that cannot be kept costs nothing but
// the protection it gives.
class RecordStore {
public:
    RecordStore() = default;
    RecordStore(const RecordStore&) = delete;
    RecordStore& operator=(const RecordStore&) = delete;
    virtual ~RecordStore() = default;

    // The stored bytes; nothing when there is no record or it cannot be read.
    virtual std::optional<std::string> Read() = 0;
    // Replaces the record in one step, so a reader sees the old record or
    // the new one whole; false if it could not.
    virtual bool Write(std::string_view bytes) = 0;
    virtual void Remove() = 0;
};
