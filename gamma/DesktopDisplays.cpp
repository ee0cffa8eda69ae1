#include "DesktopDisplays.h"

#include <algorithm>

std::vector<std::wstring> DesktopDisplays(std::span<const DisplayEntry> entries) {
    std::vector<DisplayEntry> shown;
    std::ranges::copy_if(entries, std::back_inserter(shown), [](const DisplayEntry& entry) {
        return entry.attachedToDesktop && !entry.mirroring;
    });
    std::stable_partition(shown.begin(), shown.end(),
                          [](const DisplayEntry& entry) { return entry.primary; });
    std::vector<std::wstring> names;
    for (DisplayEntry& entry : shown) {
        names.push_back(std::move(entry.name));
    }
    return names;
}
