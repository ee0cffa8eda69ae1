#include "UpperCase.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace {

// Code points first..last, every step-th one, map to themselves plus offset.
struct UpperCaseRun {
    std::uint16_t first;
    std::uint16_t last;
    std::uint16_t step;
    std::int32_t offset;
};

constexpr UpperCaseRun kUpperCaseRuns[] = {
#include "UpperCaseTable.inc"
};

}  // namespace

wchar_t ToUpperChar(wchar_t c) {
    if (c < L'a') {
        return c;
    }
    if (c <= L'z') {
        return static_cast<wchar_t>(c - L'a' + L'A');
    }
    const auto code = static_cast<std::uint32_t>(c);
    if (code > std::rbegin(kUpperCaseRuns)->last) {
        return c;
    }
    const auto* const run =
        std::lower_bound(std::begin(kUpperCaseRuns), std::end(kUpperCaseRuns), code,
                         [](const UpperCaseRun& r, std::uint32_t value) { return r.last < value; });
    if (run == std::end(kUpperCaseRuns) || code < run->first || (code - run->first) % run->step) {
        return c;
    }
    return static_cast<wchar_t>(static_cast<std::int32_t>(code) + run->offset);
}
