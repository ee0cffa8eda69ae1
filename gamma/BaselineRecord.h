#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "GammaOutputs.h"

// The baseline record: what a run must put back on the screen should it end
// without its restore. It holds the table captured from every output the
// run has taken in (its base), and the mark of the run that wrote it. It is
// written when the captured outputs change, never when a table is set: an
// output still shows a table of the run's when each of its channels is one
// the ramp engine builds from the base (see ShowsTableFrom in GammaDevice.h).
// A watcher process, or the next start, reads it to put the bases back
// where the screen still shows such a table, and leaves alone a screen that
// anyone else changed.

struct RecordedOutput {
    std::string id;
    GammaTable base;

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

// The record those bytes hold, of this version or the one before (whose
// hashes of the tables set are no longer needed); nothing when they are
// short, long, of another version, hold a table of fewer than 2 or more than
// 65,536 levels, or are not a record at all. Claims no more memory than the
// bytes themselves describe.
std::optional<BaselineRecord> DecodeRecord(std::string_view bytes);

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
