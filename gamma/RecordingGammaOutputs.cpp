#include "RecordingGammaOutputs.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "GammaDevice.h"

namespace {

// The output with that id; a test that names no output it made is wrong.
template <typename Outputs>
auto& FindIn(Outputs& outputs, const std::string& id) {
    const auto found = std::ranges::find(outputs, id, [](const auto& output) { return output.id; });
    if (found == outputs.end()) {
        throw std::invalid_argument("no output " + id);
    }
    return *found;
}

}  // namespace

RecordingGammaOutputs::RecordingGammaOutputs(const GammaRamp& screen)
    : outputs_{{"primary", {screen.begin(), screen.end()}}} {}

void RecordingGammaOutputs::Show(const std::string& id, GammaTable table) {
    if (std::ranges::find(outputs_, id, &Output::id) == outputs_.end()) {
        outputs_.push_back({id, {}});
        changed_ = true;
    }
    FindIn(outputs_, id).table = std::move(table);
}

void RecordingGammaOutputs::Switch(const std::string& id, bool on) {
    Output& output = FindIn(outputs_, id);
    changed_ = changed_ || output.on != on;
    output.on = on;
}

void RecordingGammaOutputs::Refuse(const std::string& id, bool refuse) {
    FindIn(outputs_, id).refuses = refuse;
}

void RecordingGammaOutputs::SetShowsTables(const std::string& id, bool shows) {
    FindIn(outputs_, id).showsTables = shows;
}

const GammaTable& RecordingGammaOutputs::Shown(const std::string& id) const {
    return FindIn(outputs_, id).table;
}

GammaRamp RecordingGammaOutputs::Screen() const {
    return RampOfTable(outputs_.front().table);
}

std::vector<GammaOutput> RecordingGammaOutputs::ActiveOutputs() {
    std::vector<GammaOutput> active;
    for (const Output& output : outputs_) {
        if (output.on) {
            active.push_back({output.id, output.table.size() / kRampChannels, output.showsTables});
        }
    }
    return active;
}

std::optional<GammaTable> RecordingGammaOutputs::ReadTable(const GammaOutput& output) {
    ++reads_;
    const Output* const usable = Usable(output);
    return usable != nullptr ? std::optional(usable->table) : std::nullopt;
}

bool RecordingGammaOutputs::WriteTable(const GammaOutput& output,
                                       std::span<const RampEntry> table) {
    beforeWrite();
    written_.push_back({output.id, {table.begin(), table.end()}});
    Output* const usable = Usable(output);
    if (usable == nullptr || table.size() != usable->table.size()) {
        return false;
    }
    usable->table = written_.back().table;
    return true;
}

bool RecordingGammaOutputs::WriteTableWhileOff(const GammaOutput& output,
                                               std::span<const RampEntry> table) {
    beforeWrite();
    written_.push_back({output.id, {table.begin(), table.end()}});
    const auto found = std::ranges::find(outputs_, output.id, &Output::id);
    if (found == outputs_.end() || found->on || found->refuses ||
        table.size() != found->table.size()) {
        return false;
    }
    found->table = written_.back().table;
    return true;
}

bool RecordingGammaOutputs::Flush() {
    ++flushes_;
    return true;
}

bool RecordingGammaOutputs::TakeEvents() {
    return std::exchange(changed_, false);
}

RecordingGammaOutputs::Output* RecordingGammaOutputs::Usable(const GammaOutput& output) {
    const auto found = std::ranges::find(outputs_, output.id, &Output::id);
    if (found == outputs_.end() || !found->on || found->refuses ||
        found->table.size() != output.levels * kRampChannels) {
        return nullptr;
    }
    return &*found;
}
