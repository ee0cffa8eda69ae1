#include "GdiOutputs.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kWindowHalfWidth = 128 * 256;
// A display may keep fewer bits than it is given (8 under Wine's X11
// driver): what it shows differs by at most this much in an accepted ramp.
constexpr int kReadBackTolerance = 256;

// A display's id: its device name (\\.\DISPLAY1), which is plain ASCII; the
// desktop window stands in, with an empty name, when no display is found.
std::string IdOf(const std::wstring& name) {
    if (name.empty()) {
        return "DESKTOP";
    }
    std::string id;
    for (const wchar_t c : name) {
        id.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    }
    return id;
}

bool Matches(const GammaRamp& shown, std::span<const RampEntry> written) {
    return std::ranges::equal(shown, written,
                              [](int a, int b) { return std::abs(a - b) <= kReadBackTolerance; });
}

}  // namespace

std::vector<GammaOutput> GdiOutputs::ActiveOutputs() {
    std::vector<std::wstring> names = DesktopDisplays(gdi_->Displays());
    if (names.empty()) {
        names.emplace_back();
    }
    std::erase_if(names, [this](const std::wstring& name) { return !gdi_->ShowsRamps(name); });
    names_ = std::move(names);
    std::vector<GammaOutput> active;
    for (const std::wstring& name : names_) {
        active.push_back({IdOf(name), kRampLevels});
    }
    return active;
}

std::optional<GammaTable> GdiOutputs::ReadTable(const GammaOutput& output) {
    GammaRamp ramp{};
    const std::wstring* name = NameOf(output);
    if (name == nullptr || !gdi_->GetRamp(*name, ramp)) {
        return std::nullopt;
    }
    return GammaTable(ramp.begin(), ramp.end());
}

bool GdiOutputs::WriteTable(const GammaOutput& output, std::span<const RampEntry> table) {
    const std::wstring* name = NameOf(output);
    if (name == nullptr || table.size() != kRampSize) {
        return false;
    }
    GammaRamp ramp{};
    std::ranges::copy(table, ramp.begin());
    GammaRamp shown{};
    return gdi_->SetRamp(*name, ramp) && gdi_->GetRamp(*name, shown) && Matches(shown, table);
}

void GdiOutputs::FitTable(const GammaOutput& /*output*/, std::span<const RampEntry> base,
                          std::span<RampEntry> table) const {
    if (base.size() != kRampSize || table.size() != kRampSize) {
        return;
    }
    for (std::size_t i = 0; i < kRampSize; ++i) {
        const int level = static_cast<int>(i % kRampLevels) * 256;
        const int wanted = table[i];
        const int inWindow = std::clamp(wanted, level - kWindowHalfWidth, level + kWindowHalfWidth);
        // Never past the base entry: a lift of a base beyond the window
        // stays at the base rather than turn into a darkening.
        table[i] = static_cast<RampEntry>(std::clamp<int>(inWindow, std::min<int>(wanted, base[i]),
                                                          std::max<int>(wanted, base[i])));
    }
}

// The name of a listed output of 256 levels; nullptr for any other.
const std::wstring* GdiOutputs::NameOf(const GammaOutput& output) const {
    const auto name = std::ranges::find(names_, output.id, &IdOf);
    return name == names_.end() || output.levels != kRampLevels ? nullptr : &*name;
}
