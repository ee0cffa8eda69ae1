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
    // it has a store, has captured an output whose table would stay on the
    // screen after the program is gone (not on a display that restores on
    // release), and the record could be written. The one place that decides.
    bool KeepsRecord() const;

    // Captures the table of every active output at its own size, replacing
    // any earlier capture. Gives the primary output's table at 256 levels
    // (the first output that could be read), or nothing when none could.
    // With a store, the record found there is taken first: an output that
    // still shows a table a dead run built from its recorded base gets that
    // base back, and that base is its own; any other output is left as it
    // is. Recorded outputs that are not there now are kept in the record, to
    // be put back when they come. The record is then this run's, written
    // whenever the outputs taken in change, never per apply. A damaged
    // record is removed; nothing here throws.
    std::optional<GammaRamp> Capture();

    // The watcher's work once the run of the record (KeepRecordIn's owner)
    // has ended: if the record in the store is that run's, puts the bases
    // back as Capture does; outputs not there now stay in the record, which
    // is removed once it holds none. A record of another run stays.
    void PutBackAfterRun();

    // Gives every captured output that is active the table for these
    // offsets built from its own base, and flushes once.
    void Apply(std::int16_t red, std::int16_t green, std::int16_t blue);

    // Puts every captured output's table back exactly: an active output's
    // at once, and one switched off meanwhile where the display keeps a
    // table for it until it comes back. Outputs that could not be put back
    // stay in the record for the next start (or the watcher); without any,
    // the record is removed. Until the next Apply, outputs that appear get
    // nothing. On a display that restores its own tables when let go of,
    // lets go of the outputs instead, for good.
    void Restore();

    // Whether the last capture took in an output whose table changes what
    // it shows: false when no output could be read, or when each one read
    // is one its backend reports as showing no table (XWayland's).
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
    void CaptureOutputs(std::optional<BaselineRecord> record);
    void PutBackRecorded(KnownOutput& known, const GammaTable& recordedBase);
    void WriteRecord(bool includeKnown);
    void RemoveOwnRecord();
    void TakeInOutputs();
    bool TakeIn(const GammaOutput& output);
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
    // The run whose record the capture took over.
    std::uint32_t adopted_ = 0;
    // Outputs of a dead run's record that have not come yet.
    std::vector<RecordedOutput> pending_;
    // Whether the store holds this run's record, and whether that lists
    // every output taken in (not so after a Restore).
    bool recordKept_ = false;
    bool recordHoldsAll_ = false;
    std::function<void()> report_;
};

// Whether an output whose base is `base` shows a table built from it:
// every channel of `shown` is the channel BuildOutputTable gives for some
// offset in -100..100, and not every channel is the base's own. Compared
// at 8 significant bits, as some displays keep no more (Wine's X11 driver
// keeps v as (v >> 8) * 257).
bool ShowsTableFrom(std::span<const RampEntry> base, std::span<const RampEntry> shown);

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
