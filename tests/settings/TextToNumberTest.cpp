#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>

#include "TextToNumber.h"

namespace {

// Every reading gives its number as an optional double, to share one table.
using Reading = std::optional<double> (*)(std::wstring_view);
template <auto Read>
std::optional<double> As(std::wstring_view text) {
    return Read(text);
}
constexpr Reading Label = As<OffsetFromLabel>, Slot = As<AutoLoadSlotFromValue>,
                  Open = As<PanelModeForOpening>, Mode = As<PanelModeForSlotAction>,
                  Field = As<PresetOffsetFromField>;

}  // namespace

TEST(TextToNumber, EachReadingByItsRule) {
    const std::optional<double> no;
    const std::wstring nines(1'000'000, L'9');
    const std::wstring longHalf = L"2.5" + std::wstring(1'000'000, L'0') + L"1";
    // clang-format off
    const std::tuple<Reading, std::wstring_view, std::optional<double>> cases[] = {
        {Label, L"3abc", 3}, {Label, L"abc", 0}, {Label, L"", 0}, {Label, L"-100", -100},
        {Label, L"+7", 7}, {Label, L"1.2.3", 1}, {Label, L"--5", 0}, {Label, L"\uff15", 0},
        {Label, L"\t-\n4 2", -42}, {Label, L"1\r2", 1}, {Label, L"\u30005", 0}, {Label, L"3,4", 3},
        {Label, L"-32768", -32768}, {Label, L"32768", 0}, {Label, L"2.5", 2}, {Label, L"3.5", 4},
        {Label, L"-2.5", -2}, {Label, L"2.500000001", 3}, {Label, L".6", 1}, {Label, L"32767.5", 0},
        {Label, L"-32768.5", -32768}, {Label, L"2E1", 20}, {Label, L"2d+1", 20}, {Label, L"35e-1", 4},
        {Label, L"1E5", 0}, {Label, L"3ex", 3}, {Label, L"1e99999999999999", 0}, {Label, nines, 0},
        {Label, longHalf, 3}, {Slot, L"3abc", 3}, {Slot, L"99999", 0}, {Open, L"1", 1},
        {Open, L"99999", 99999}, {Mode, L"1", 1}, {Mode, L"0.5e1", 5}, {Mode, L" 1.25x", 1.25},
        {Mode, L"x1", 0}, {Field, L" -20 ", -20}, {Field, L"007", 7}, {Field, L"5.", 5},
        {Field, L".5", 0}, {Field, L"2147483647.4", 2147483647}, {Field, L"2147483647.5", no},
        {Field, L"-2147483648.5", -2147483648.0}, {Field, L"0.50000000000000000001", 1},
        {Field, L"", no}, {Field, L"1x", no}, {Field, L"1 2", no}, {Field, L"- 1", no},
        {Field, L"1e3", no}, {Field, L".", no}, {Field, L"\t1", no}, {Field, L"\u30001", no}};
    // clang-format on
    for (const auto& [read, text, value] : cases) {
        EXPECT_EQ(read(text), value) << std::string(text.begin(), text.begin() + text.size() % 30);
    }
}
