#include "GammaDevice.h"

#include <algorithm>
#include <array>
#include <utility>

#include "Module_SetScreen.h"
#include "RampResample.h"

namespace {

using HalvedOffsets = std::array<std::int16_t, kRampChannels>;

HalvedOffsets Halved(std::int16_t red, std::int16_t green, std::int16_t blue) {
    return {Module_SetScreen::HalveOffset(red), Module_SetScreen::HalveOffset(green),
            Module_SetScreen::HalveOffset(blue)};
}

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

void GammaDevice::KeepRecordIn(RecordStore* store, std::uint32_t owner) {
    store_ = store;
    owner_ = owner;
}

bool GammaDevice::KeepsRecord() const {
    return store_ != nullptr && !known_.empty() && !outputs_.RestoresOnRelease();
}

std::optional<GammaRamp> GammaDevice::Capture() {
    CaptureOutputs(ReadRecord(std::nullopt));
    Settle();
    if (known_.empty()) {
        return std::nullopt;
    }
    return RampOfTable(known_.front().base);
}

void GammaDevice::Apply(std::int16_t red, std::int16_t green, std::int16_t blue) {
    offsets_ = ChannelOffsets{red, green, blue};
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
        }
    }
    outputs_.Flush();
    DropRecordIfDone();
}

void GammaDevice::PutBackAfterRun() {
    if (const auto record = ReadRecord(owner_)) {
        CaptureOutputs(record);
    }
}

bool GammaDevice::CanAdjust() const {
    return std::ranges::any_of(
        known_, [](const KnownOutput& known) { return !known.output.id.starts_with("XWAYLAND"); });
}

// Offsets that halve alike build the same table.
std::array<bool, kRampChannels> GammaDevice::ChannelsShown() const {
    std::array<bool, kRampChannels> shown{true, true, true};
    if (!offsets_) {
        return shown;
    }
    const HalvedOffsets wanted = Halved(offsets_->red, offsets_->green, offsets_->blue);
    for (const KnownOutput& known : known_) {
        const auto& has = known.shows;
        const HalvedOffsets showing = Halved(has.red, has.green, has.blue);
        for (std::size_t channel = 0; channel < kRampChannels; ++channel) {
            shown[channel] =
                shown[channel] && (!known.active || showing[channel] == wanted[channel]);
        }
    }
    return shown;
}

void GammaDevice::TakeEvents() {
    Settle();
}

void GammaDevice::Reapply() {
    TakeInOutputs();
    WriteOffsets();
    Settle();
}

// A damaged record is discarded.
std::optional<BaselineRecord> GammaDevice::ReadRecord(std::optional<std::uint32_t> run) {
    const std::optional<std::string> bytes = store_ != nullptr ? store_->Read() : std::nullopt;
    std::optional<BaselineRecord> record = bytes ? DecodeRecord(*bytes) : std::nullopt;
    if (bytes && !record) {
        store_->Remove();
    }
    if (record && run && record->owner != *run) {
        return std::nullopt;
    }
    return record;
}

// Where an output still shows the table the record's run last set on it,
// that run's base goes back and becomes the output's own; the record is
// then discarded.
void GammaDevice::CaptureOutputs(const std::optional<BaselineRecord>& record) {
    known_.clear();
    offsets_.reset();
    recordWritten_ = false;
    for (const GammaOutput& output : outputs_.ActiveOutputs()) {
        TakeIn(output);
    }
    if (!record) {
        return;
    }
    for (KnownOutput& known : known_) {
        if (const GammaTable* base = DeadRunBase(*record, known.output.id, known.base)) {
            known.base = *base;
            Write(known, known.base);
        }
    }
    outputs_.Flush();
    store_->Remove();
}

// Written before the coming tables (by known output; empty where none
// comes) are set, the record lists every output that will show, or may still
// show, a table of ours other than its base, with the table it shows now and
// the one coming: a run that ends between the two writes is known by either.
void GammaDevice::RecordComing(const std::vector<GammaTable>& coming) {
    if (!KeepsRecord()) {
        return;
    }
    BaselineRecord record{owner_, {}};
    for (std::size_t i = 0; i < known_.size(); ++i) {
        const KnownOutput& known = known_[i];
        const GammaTable& now = known.lastSet.empty() ? known.base : known.lastSet;
        const GammaTable& next = coming[i].empty() ? now : coming[i];
        if (now != known.base || next != known.base) {
            record.outputs.push_back(
                {known.output.id, known.base, TableHash(now), TableHash(next)});
        }
    }
    if (!record.outputs.empty()) {
        store_->Write(EncodeRecord(record));
        recordWritten_ = true;
    }
}

// Once every output shows its base again, there is no record.
void GammaDevice::DropRecordIfDone() {
    const auto showsBase = [](const KnownOutput& known) {
        return known.lastSet.empty() || known.lastSet == known.base;
    };
    if (recordWritten_ && std::ranges::all_of(known_, showsBase)) {
        store_->Remove();
        recordWritten_ = false;
    }
}

void GammaDevice::TakeInOutputs() {
    const std::vector<GammaOutput> active = outputs_.ActiveOutputs();
    // An output stays only as it was: a size change makes it new.
    for (KnownOutput& known : known_) {
        known.active = known.active && std::ranges::find(active, known.output) != active.end();
    }
    for (const GammaOutput& output : active) {
        const auto found = Find(output.id);
        if (found == known_.end() || !found->active) {
            TakeIn(output);
        }
    }
}

void GammaDevice::TakeIn(const GammaOutput& output) {
    std::optional<GammaTable> shown = outputs_.ReadTable(output);
    if (!shown) {
        return;
    }
    const auto found = Find(output.id);
    if (found == known_.end()) {
        known_.push_back({output, std::move(*shown), {}, true});
        return;
    }
    // Still showing our table, the output was switched off and on with the
    // driver keeping its table: that table is ours, not a new base.
    if (*shown != found->lastSet) {
        found->base = std::move(*shown);
        found->shows = {};
    }
    found->output = output;
    found->active = true;
}

std::vector<GammaDevice::KnownOutput>::iterator GammaDevice::Find(const std::string& id) {
    return std::ranges::find(known_, id, [](const KnownOutput& known) { return known.output.id; });
}

void GammaDevice::WriteOffsets() {
    if (!offsets_) {
        return;
    }
    std::vector<GammaTable> coming(known_.size());
    for (std::size_t i = 0; i < known_.size(); ++i) {
        if (known_[i].active) {
            coming[i] =
                BuildOutputTable(known_[i].base, offsets_->red, offsets_->green, offsets_->blue);
            outputs_.FitTable(known_[i].output, known_[i].base, coming[i]);
        }
    }
    RecordComing(coming);
    for (std::size_t i = 0; i < known_.size(); ++i) {
        if (known_[i].active) {
            Write(known_[i], std::move(coming[i]), *offsets_);
        }
    }
    outputs_.Flush();
    DropRecordIfDone();
}

void GammaDevice::Write(KnownOutput& known, GammaTable table, ChannelOffsets shows) {
    if (outputs_.WriteTable(known.output, table)) {
        known.lastSet = std::move(table);
        known.shows = shows;
    }
}

// A flush waits for the display and may leave its events read and queued
// on our side, where the event loop's watch on the descriptor cannot see
// them; so every operation ends by taking them, and then reports.
void GammaDevice::Settle() {
    while (outputs_.TakeEvents()) {
        TakeInOutputs();
        WriteOffsets();
    }
    if (report_) {
        report_();
    }
}
