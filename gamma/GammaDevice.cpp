#include "GammaDevice.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <exception>
#include <functional>
#include <utility>

#include "Module_SetScreen.h"
#include "RampResample.h"

namespace {

std::span<const RampEntry> Channel(std::span<const RampEntry> table, std::size_t channel) {
    const std::size_t levels = table.size() / kRampChannels;
    return table.subspan(channel * levels, levels);
}

}  // namespace

GammaTable IdentityTable(std::size_t levels) {
    constexpr std::array<RampEntry, 2> kEnds = {0, 65535};
    const std::vector<RampEntry> channel = ResampleLevels(kEnds, levels);
    GammaTable table;
    table.reserve(kRampChannels * levels);
    for (std::size_t c = 0; c < kRampChannels; ++c) {
        table.insert(table.end(), channel.begin(), channel.end());
    }
    return table;
}

GammaRamp RampOfTable(std::span<const RampEntry> table) {
    GammaRamp ramp{};
    for (std::size_t channel = 0; channel < kRampChannels; ++channel) {
        std::ranges::copy(ResampleLevels(Channel(table, channel), kRampLevels),
                          ramp.begin() + static_cast<std::ptrdiff_t>(RampIndex(channel, 0)));
    }
    return ramp;
}

GammaTable BuildOutputTable(std::span<const RampEntry> captured, std::int16_t red,
                            std::int16_t green, std::int16_t blue) {
    const GammaRamp work = Module_SetScreen::BuildWorkRamp(RampOfTable(captured), red, green, blue);
    const std::size_t levels = captured.size() / kRampChannels;
    if (levels == kRampLevels) {
        return {work.begin(), work.end()};
    }
    const std::int16_t offsets[kRampChannels] = {red, green, blue};
    GammaTable table;
    table.reserve(captured.size());
    for (std::size_t channel = 0; channel < kRampChannels; ++channel) {
        if (Module_SetScreen::HalveOffset(offsets[channel]) == 0) {
            const auto own = Channel(captured, channel);
            table.insert(table.end(), own.begin(), own.end());
        } else {
            const auto resampled = ResampleLevels(Channel(work, channel), levels);
            table.insert(table.end(), resampled.begin(), resampled.end());
        }
    }
    return table;
}

bool ShowsTableFrom(std::span<const RampEntry> base, std::span<const RampEntry> shown) {
    if (base.size() != shown.size() || base.size() < kRampChannels) {
        return false;
    }
    const auto sameHighBytes = [](std::span<const RampEntry> a, std::span<const RampEntry> b) {
        return std::ranges::equal(a, b, [](RampEntry x, RampEntry y) { return x >> 8 == y >> 8; });
    };
    std::array<bool, kRampChannels> built{};
    bool allBase = true;
    for (std::size_t channel = 0; channel < kRampChannels; ++channel) {
        allBase = allBase && sameHighBytes(Channel(shown, channel), Channel(base, channel));
    }
    // Offsets 2h cover every halved offset h, and so every table there is.
    constexpr int kLargestHalf = 50;
    for (int half = -kLargestHalf; half <= kLargestHalf; ++half) {
        const auto offset = static_cast<std::int16_t>(2 * half);
        const GammaTable table = BuildOutputTable(base, offset, offset, offset);
        for (std::size_t channel = 0; channel < kRampChannels; ++channel) {
            built[channel] =
                built[channel] || sameHighBytes(Channel(shown, channel), Channel(table, channel));
        }
    }
    return !allBase && std::ranges::all_of(built, std::identity());
}

void GammaDevice::KeepRecordIn(RecordStore* store, std::uint32_t owner) {
    store_ = store;
    owner_ = owner;
    adopted_ = owner;
}

bool GammaDevice::KeepsRecord() const {
    return recordKept_ && !known_.empty() && !outputs_.RestoresOnRelease();
}

// A record that cannot be read or decoded, or whose handling fails in any
// way (memory runs out), is damage: it is removed, and the capture goes on
// without it.
std::optional<GammaRamp> GammaDevice::Capture() {
    try {
        CaptureOutputs(ReadRecord(std::nullopt));
    } catch (const std::exception&) {
        if (store_ != nullptr) {
            store_->Remove();
        }
        pending_.clear();
        CaptureOutputs(std::nullopt);
    }
    WriteRecord(true);
    Settle();
    if (known_.empty()) {
        return std::nullopt;
    }
    return RampOfTable(known_.front().base);
}

void GammaDevice::Apply(std::int16_t red, std::int16_t green, std::int16_t blue) {
    offsets_ = ChannelOffsets{red, green, blue};
    if (!recordHoldsAll_) {
        WriteRecord(true);
    }
    WriteOffsets();
    Settle();
}

void GammaDevice::Restore() {
    offsets_.reset();
    if (outputs_.RestoresOnRelease()) {
        outputs_.Release();
        return;
    }
    for (KnownOutput& known : known_) {
        if (known.active) {
            Write(known, known.base);
        } else if (outputs_.WriteTableWhileOff(known.output, known.base)) {
            known.lastSet = known.base;
        }
    }
    outputs_.Flush();
    WriteRecord(false);
}

void GammaDevice::PutBackAfterRun() {
    try {
        if (auto record = ReadRecord(owner_)) {
            CaptureOutputs(std::move(record));
            WriteRecord(false);
        }
    } catch (const std::exception&) {
        RemoveOwnRecord();
    }
}

bool GammaDevice::CanAdjust() const {
    return std::ranges::any_of(known_,
                               [](const KnownOutput& known) { return known.output.showsTables; });
}

void GammaDevice::TakeEvents() {
    Settle();
}

void GammaDevice::Reapply() {
    TakeInOutputs();
    WriteOffsets();
    Settle();
}

// A damaged record is removed. With a run, only that run's record is given.
std::optional<BaselineRecord> GammaDevice::ReadRecord(std::optional<std::uint32_t> run) {
    const std::optional<std::string> bytes = store_ != nullptr ? store_->Read() : std::nullopt;
    std::optional<BaselineRecord> record = bytes ? DecodeRecord(*bytes) : std::nullopt;
    if (bytes && !record) {
        std::fputs("kov-display: a damaged baseline record was removed\n", stderr);
        store_->Remove();
    }
    if (record && run && record->owner != *run) {
        return std::nullopt;
    }
    return record;
}

// Where an output shows a table the record's run built from its recorded
// base, that base goes back and becomes the output's own. Recorded outputs
// that are not there wait for their return.
// The record read becomes this run's to rewrite or remove.
void GammaDevice::CaptureOutputs(std::optional<BaselineRecord> record) {
    known_.clear();
    offsets_.reset();
    pending_.clear();
    if (record) {
        adopted_ = record->owner;
        recordKept_ = true;
        pending_ = std::move(record->outputs);
    }
    for (const GammaOutput& output : outputs_.ActiveOutputs()) {
        TakeIn(output);
    }
    if (record) {
        outputs_.Flush();
    }
}

void GammaDevice::PutBackRecorded(KnownOutput& known, const GammaTable& recordedBase) {
    if (ShowsTableFrom(recordedBase, known.base)) {
        known.base = recordedBase;
        Write(known, known.base);
    }
}

// The record lists every output a table of ours may stay on: with
// includeKnown every output taken in, else those switched off that could
// not be given their base back; and the outputs of a dead run still to
// come. A record that cannot be written is tried again, then said on
// standard error and not believed in.
void GammaDevice::WriteRecord(bool includeKnown) {
    if (store_ == nullptr || outputs_.RestoresOnRelease()) {
        return;
    }
    BaselineRecord record{owner_, pending_};
    for (const KnownOutput& known : known_) {
        const bool backOnItsBase = known.active || known.lastSet == known.base;
        if (includeKnown || !backOnItsBase) {
            record.outputs.push_back({known.output.id, known.base});
        }
    }
    recordHoldsAll_ = includeKnown;
    if (record.outputs.empty()) {
        RemoveOwnRecord();
        return;
    }
    constexpr int kAttempts = 3;
    const std::string bytes = EncodeRecord(record);
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (store_->Write(bytes)) {
            recordKept_ = true;
            return;
        }
    }
    recordKept_ = false;
    std::fputs(
        "kov-display: the baseline record could not be written; if the program is "
        "killed, the screen will not get its own ramp back\n",
        stderr);
}

// A record that another run wrote meanwhile is that run's to remove.
void GammaDevice::RemoveOwnRecord() {
    if (store_ == nullptr || !recordKept_) {
        return;
    }
    const std::optional<std::string> bytes = store_->Read();
    const std::optional<BaselineRecord> record = bytes ? DecodeRecord(*bytes) : std::nullopt;
    if (!record || record->owner == owner_ || record->owner == adopted_) {
        store_->Remove();
    }
    recordKept_ = false;
}

// Outputs that come with a new base are recorded before anything is set on them.
void GammaDevice::TakeInOutputs() {
    const std::vector<GammaOutput> active = outputs_.ActiveOutputs();
    // An output stays only as it was: a size change makes it new.
    for (KnownOutput& known : known_) {
        known.active = known.active && std::ranges::find(active, known.output) != active.end();
    }
    bool newBase = false;
    for (const GammaOutput& output : active) {
        const auto found = Find(output.id);
        if (found == known_.end() || !found->active) {
            newBase = TakeIn(output) || newBase;
        }
    }
    if (newBase && recordKept_) {
        WriteRecord(recordHoldsAll_);
    }
}

// True when the output comes with a base the record does not hold yet. One
// that a dead run's record waits for gets its recorded base back if it
// still shows a table built from it.
bool GammaDevice::TakeIn(const GammaOutput& output) {
    std::optional<GammaTable> shown = outputs_.ReadTable(output);
    if (!shown) {
        return false;
    }
    const auto found = Find(output.id);
    if (found == known_.end()) {
        KnownOutput& known = known_.emplace_back(KnownOutput{output, std::move(*shown), {}, true});
        const auto recorded = std::ranges::find(pending_, output.id, &RecordedOutput::id);
        if (recorded != pending_.end()) {
            PutBackRecorded(known, recorded->base);
            pending_.erase(recorded);
        }
        return true;
    }
    found->output = output;
    found->active = true;
    // Still showing our table, the output was switched off and on with the
    // driver keeping its table: that table is ours, not a new base.
    if (*shown == found->lastSet || *shown == found->base) {
        return false;
    }
    found->base = std::move(*shown);
    return true;
}

std::vector<GammaDevice::KnownOutput>::iterator GammaDevice::Find(const std::string& id) {
    return std::ranges::find(known_, id, [](const KnownOutput& known) { return known.output.id; });
}

void GammaDevice::WriteOffsets() {
    if (!offsets_) {
        return;
    }
    for (KnownOutput& known : known_) {
        if (known.active) {
            Write(known,
                  BuildOutputTable(known.base, offsets_->red, offsets_->green, offsets_->blue));
        }
    }
    outputs_.Flush();
}

void GammaDevice::Write(KnownOutput& known, GammaTable table) {
    if (outputs_.WriteTable(known.output, table)) {
        known.lastSet = std::move(table);
    }
}

// A flush waits for the display and may leave its events read and queued
// on our side, where the event loop's watch on the descriptor cannot see
// them; so every operation ends by taking them.
void GammaDevice::Settle() {
    while (outputs_.TakeEvents()) {
        TakeInOutputs();
        WriteOffsets();
    }
}
