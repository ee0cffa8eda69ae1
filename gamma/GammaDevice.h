#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "BaselineRecord.h"
#include "GammaOutputs.h"
#include "GammaRamp.h"

// The screen's gamma, output by output. Each output keeps the table captured
// from it as its own base: an apply builds every output's table from its own
// base, and a restore puts every base back exactly. Outputs that appear
// later are taken in; outputs that go are no longer written.
class GammaDevice {
public:
    explicit GammaDevice(GammaOutputs& outputs) : outputs_(outputs) {}
    GammaDevice(const GammaDevice&) = delete;
    GammaDevice& operator=(const GammaDevice&) = delete;
    ~GammaDevice() = default;

    // Keeps the baseline record of run `owner` in store (nullptr: none)
    // from the next Capture on. The store must outlive its use here.
    void KeepRecordIn(RecordStore* store, std::uint32_t owner);

    // Whether this run keeps a baseline record and so needs a watcher: when
    // it has a store and has captured an output whose table would stay on
    // the screen after the program is gone (not on a display that restores
    // on release). The one place that decides.
    bool KeepsRecord() const;

    // Captures the table of every active output at its own size, replacing
    // any earlier capture. Gives the primary output's table at 256 levels
    // (the first output that could be read), or nothing when none could.
    // With a store, the record found there is taken first: an output that
    // still shows the table a dead run last set on it gets the run's base
    // back, and that base is its own; any other output is left as it is.
    // The record is then discarded. From then on, the record is rewritten
    // before every change of what the outputs show, and once every output
    // shows its base again it is removed.
    std::optional<GammaRamp> Capture();

    // The watcher's work once the run of the record (KeepRecordIn's owner)
    // has ended: if the record in the store is that run's, puts the bases
    // back as Capture does and removes it; a record of another run stays.
    void PutBackAfterRun();

    // Gives every captured output that is active the table for these
    // offsets built from its own base, and flushes once.
    void Apply(std::int16_t red, std::int16_t green, std::int16_t blue);

    // Puts every active output's captured table back exactly. Until the next
    // Apply, outputs that appear get nothing. On a display that restores its
    // own tables when let go of, lets go of the outputs instead, for good.
    void Restore();

    // Whether the last capture took in an output whose table changes what
    // it shows: false when no output could be read, or when each one read
    // is an XWayland output (named XWAYLAND...), whose tables take every
    // write and change nothing shown.
    bool CanAdjust() const;

    // The descriptor the program's event loop watches; when it turns
    // readable, call TakeEvents(). -1 when there is none. It can turn -1
    // during any call here; stop watching the old one then.
    int EventDescriptor() const { return outputs_.EventDescriptor(); }

    // Takes the display's waiting events and, when outputs may have
    // changed, does what Reapply() does.
    void TakeEvents();

    // Whether every active output shows the last Apply's offset of each
    // channel (red, green, blue): false for a channel while a display that
    // refused a table still shows an earlier table's offset there. A refused
    // table leaves the output's last accepted one in force and known. All
    // true before the first Apply and after a Restore.
    std::array<bool, kRampChannels> ChannelsShown() const;

    // Runs report at the end of every capture, apply and re-apply, once
    // the outputs have answered; empty for none.
    void ReportAppliesTo(std::function<void()> report) { report_ = std::move(report); }

    // Takes in outputs that came (capturing each, unless it still shows the
    // table last set on it, when its earlier base stays), forgets those that
    // went, and gives every active output the offsets of the last Apply.
    // For display changes the backend does not report itself: resume from
    // sleep, session unlock, a display settings change.
    void Reapply();

private:
    struct ChannelOffsets {
        std::int16_t red;
        std::int16_t green;
        std::int16_t blue;
    };

    struct KnownOutput {
        GammaOutput output;
        GammaTable base;
        GammaTable lastSet;
        bool active = true;
        // The offsets of the table the output shows: its last accepted one.
        ChannelOffsets shows{};
    };

    std::optional<BaselineRecord> ReadRecord(std::optional<std::uint32_t> run);
    void CaptureOutputs(const std::optional<BaselineRecord>& record);
    void RecordComing(const std::vector<GammaTable>& coming);
    void DropRecordIfDone();
    void TakeInOutputs();
    void TakeIn(const GammaOutput& output);
    std::vector<KnownOutput>::iterator Find(const std::string& id);
    void WriteOffsets();
    void Write(KnownOutput& known, GammaTable table, ChannelOffsets shows = {});
    void Settle();

    GammaOutputs& outputs_;
    std::vector<KnownOutput> known_;
    // The offsets the outputs carry; none before the first Apply and after
    // a Restore.
    std::optional<ChannelOffsets> offsets_;
    RecordStore* store_ = nullptr;
    std::uint32_t owner_ = 0;
    // Whether a record of ours may be in the store.
    bool recordWritten_ = false;
    std::function<void()> report_;
};

// The table that leaves every colour as it is at that many levels: each
// channel rising evenly from 0 to 65535, as LinearRamp does at 256.
GammaTable IdentityTable(std::size_t levels);

// The 256-level ramp of an output's table: each channel resampled to 256
// levels (unchanged when it has 256).
GammaRamp RampOfTable(std::span<const RampEntry> table);

// The table an output whose base is `captured` (3 * levels entries) gets
// for the offsets: the 256-level ramp BuildWorkRamp makes from the base's
// ramp, resampled to the output's size when that is not 256. A channel whose
// halved offset is 0 keeps the base's channel exactly, as BuildWorkRamp does.
GammaTable BuildOutputTable(std::span<const RampEntry> captured, std::int16_t red,
                            std::int16_t green, std::int16_t blue);
