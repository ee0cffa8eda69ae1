#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "TextToNumber.h"

namespace {

std::string Narrow(std::wstring_view text) {
    return {text.begin(), text.end()};
}

}  // namespace

TEST(LeadingNumberToInt16, ReadsTheNumberAtTheStart) {
    const struct {
        const wchar_t* text;
        std::int16_t value;
    } cases[] = {
        {L"3abc", 3},      {L"abc", 0},         {L"", 0},
        {L"-1", -1},       {L"-2", -2},         {L"-100", -100},
        {L"+7", 7},        {L"007", 7},         {L"1.2.3", 1},
        {L"12-3", 12},     {L"--5", 0},         {L"-", 0},
        {L".", 0},         {L"x5", 0},          {L"\uff15", 0},
        {L"3,4", 3},       {L" 1 2", 12},       {L"\t-\n4 2", -42},
        {L"1\r2", 1},      {L"\u30005", 0},     {L"5\u3000", 5},
        {L"32767", 32767}, {L"-32768", -32768}, {L"32768", 0},
        {L"-32769", 0},    {L"99999", 0},       {L"0000000000000000000000000000042", 42},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LeadingNumberToInt16(c.text), c.value) << Narrow(c.text);
    }
}

TEST(LeadingNumberToInt16, RoundsFractionsHalfToEven) {
    const struct {
        const wchar_t* text;
        std::int16_t value;
    } cases[] = {
        {L"2.5", 2},         {L"3.5", 4},         {L"-0.5", 0},          {L"-1.5", -2},
        {L"-2.5", -2},       {L"0.5", 0},         {L"1.5", 2},           {L"2.51", 3},
        {L"2.4999", 2},      {L"2.500000001", 3}, {L"-2.500000001", -3}, {L".5", 0},
        {L".6", 1},          {L"-.6", -1},        {L"0.05", 0},          {L"9.", 9},
        {L"32767.4", 32767}, {L"32767.5", 0},     {L"-32768.5", -32768}, {L"-32767.5", -32768},
        {L"-32768.6", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LeadingNumberToInt16(c.text), c.value) << Narrow(c.text);
    }
}

TEST(LeadingNumberToInt16, ReadsAnExponentWrittenWithEOrD) {
    const struct {
        const wchar_t* text;
        std::int16_t value;
    } cases[] = {
        {L"2E1", 20},
        {L"2e1", 20},
        {L"2D1", 20},
        {L"2d+1", 20},
        {L"25E-1", 2},
        {L"35e-1", 4},
        {L"1E4", 10000},
        {L"1E5", 0},
        {L"3e", 3},
        {L"3e-", 3},
        {L"3ex", 3},
        {L"1 E 2", 100},
        {L"1e-99999999999999999999", 0},
        {L"1e99999999999999999999", 0},
        {L"0e99999999999999999999", 0},
        {L"0.00001e5", 1},
        {L"12345e-3", 12},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LeadingNumberToInt16(c.text), c.value) << Narrow(c.text);
    }
}

TEST(LeadingNumberToInt16, CopesWithVeryLongDigitRuns) {
    EXPECT_EQ(LeadingNumberToInt16(std::wstring(1'000'000, L'9')), 0);
    EXPECT_EQ(LeadingNumberToInt16(L"0." + std::wstring(1'000'000, L'0') + L"1"), 0);
    EXPECT_EQ(LeadingNumberToInt16(L"7." + std::wstring(1'000'000, L'0') + L"1"), 7);
    EXPECT_EQ(LeadingNumberToInt16(L"2.5" + std::wstring(1'000'000, L'0') + L"1"), 3);
}

TEST(PresetFieldToInt32, ReadsADecimalFieldWithSpacesAround) {
    const struct {
        const wchar_t* text;
        std::optional<std::int32_t> value;
    } cases[] = {
        {L"10", 10},
        {L" 10 ", 10},
        {L"-20", -20},
        {L" -20 ", -20},
        {L"+30", 30},
        {L"0", 0},
        {L"-0", 0},
        {L"007", 7},
        {L"5.", 5},
        {L".5", 0},
        {L"2147483647", 2147483647},
        {L"-2147483648", -2147483647 - 1},
        {L"2147483648", std::nullopt},
        {L"-2147483649", std::nullopt},
        {L"99999999999", std::nullopt},
        {L"99999999999999999999999999", std::nullopt},
        {L"", std::nullopt},
        {L"   ", std::nullopt},
        {L"abc", std::nullopt},
        {L"1x", std::nullopt},
        {L"1 2", std::nullopt},
        {L"- 1", std::nullopt},
        {L"1e3", std::nullopt},
        {L".", std::nullopt},
        {L"-", std::nullopt},
        {L"1.2.3", std::nullopt},
        {L"\t1", std::nullopt},
        {L"1\t", std::nullopt},
        {L"\u30001", std::nullopt},
        {L"\uff11", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PresetFieldToInt32(c.text), c.value) << Narrow(c.text);
    }
}

TEST(PresetFieldToInt32, RoundsFractionsHalfToEven) {
    const struct {
        const wchar_t* text;
        std::optional<std::int32_t> value;
    } cases[] = {
        {L"2.5", 2},
        {L"3.5", 4},
        {L"-0.5", 0},
        {L"-1.5", -2},
        {L"0.49999999999999999999", 0},
        {L"0.50000000000000000001", 1},
        {L"2147483646.5", 2147483646},
        {L"2147483647.4", 2147483647},
        {L"2147483647.5", std::nullopt},
        {L"-2147483648.5", -2147483647 - 1},
        {L"-2147483648.51", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PresetFieldToInt32(c.text), c.value) << Narrow(c.text);
    }
}
