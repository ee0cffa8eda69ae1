#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "SettingsText.h"
#include "TextLines.h"
#include "UpperCase.h"

namespace {

std::string Hex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        hex += kDigits[value >> 4];
        hex += kDigits[value & 15];
        hex += ' ';
    }
    return hex;
}

std::vector<std::string> AllLines(std::string_view bytes) {
    std::vector<std::string> lines;
    ByteLines walker(bytes);
    for (std::string_view line; walker.Next(line);) {
        lines.emplace_back(line);
    }
    return lines;
}

}  // namespace

// Code page 936 both ways: ASCII, Chinese, full-width forms, Greek, the
// euro sign at 0x80, and the middle dot that other GBK tables map elsewhere.
TEST(SettingsText, DecodesAndEncodesCodePage936) {
    const struct {
        std::string_view bytes;
        std::wstring_view text;
    } cases[] = {
        {"", L""},
        {"AUTOLOAD=0", L"AUTOLOAD=0"},
        {std::string_view("a\0b", 3), std::wstring_view(L"a\0b", 3)},
        {"\xd6\xd0\xce\xc4", L"\u4e2d\u6587"},
        {";KOV\xb5\xf7\xbd\xda\xcf\xd4\xca\xbe\xc6\xf7\xc9\xe8\xd6\xc3",
         L";KOV\u8c03\u8282\u663e\u793a\u5668\u8bbe\u7f6e"},
        {"\xd7\xf7\xd5\xdf\xa3\xba", L"\u4f5c\u8005\uff1a"},
        {"\xa1\xa1", L"\u3000"},
        {"\xa6\xc1\xa6\xa1", L"\u03b1\u0391"},
        {"\xa8\xa6", L"\u00e9"},
        {"\x80", L"\u20ac"},
        {"\xa1\xa4", L"\u00b7"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DecodeSettingsText(c.bytes), c.text) << Hex(c.bytes);
        EXPECT_EQ(EncodeSettingsText(c.text), c.bytes) << Hex(c.bytes);
    }
}

TEST(SettingsText, DecodesEachUndefinedByteToAReplacementCharacter) {
    const struct {
        std::string_view bytes;
        std::wstring_view text;
    } cases[] = {
        {"\x81", L"\ufffd"},
        {"A\x81", L"A\ufffd"},
        {"\x81 x", L"\ufffd x"},
        {"\x81\r", L"\ufffd\r"},
        {"\x81\n", L"\ufffd\n"},
        {"\xff", L"\ufffd"},
        {"\xff\xff\xd6\xd0", L"\ufffd\ufffd\u4e2d"},
        {"\xd6\xd0\x81", L"\u4e2d\ufffd"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DecodeSettingsText(c.bytes), c.text) << Hex(c.bytes);
    }
}

TEST(SettingsText, EncodesCharactersTheCodePageLacksAsQuestionMarks) {
    const struct {
        std::wstring_view text;
        std::string_view bytes;
    } cases[] = {
        {L"\u00c9", "?"},     {L"\u0e01x", "?x"},
        {L"a\ufffdb", "a?b"}, {L"\u00ff\u4e2d", "?\xd6\xd0"},
        {L"\U0001F600", "?"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeSettingsText(c.text), c.bytes) << Hex(c.bytes);
    }
}

TEST(ByteLines, EndsLinesAtCrLfLoneLfAndLoneCr) {
    const struct {
        std::string_view bytes;
        std::vector<std::string> lines;
    } cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\n", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"\r\n", {""}},
        {"\r\n\r\n", {"", ""}},
        {"a\nb\rc\r\nd", {"a", "b", "c", "d"}},
        {"a\n\r", {"a", ""}},
        {"a\r\r\n", {"a", ""}},
        {"a\r", {"a"}},
        {"\n", {""}},
        {"\xd6\xd0\r\n\xce\xc4", {"\xd6\xd0", "\xce\xc4"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AllLines(c.bytes), c.lines) << Hex(c.bytes);
    }
}

TEST(TextLines, TrimsOnlyU0020) {
    EXPECT_EQ(TrimSpaces(L"  a b  "), L"a b");
    EXPECT_EQ(TrimSpaces(L"   "), L"");
    EXPECT_EQ(TrimSpaces(L""), L"");
    EXPECT_EQ(TrimSpaces(L"\ta\t"), L"\ta\t");
    EXPECT_EQ(TrimSpaces(L"\u3000a\u3000"), L"\u3000a\u3000");
    EXPECT_EQ(TrimLeadingSpaces(L"  a  "), L"a  ");
    EXPECT_EQ(TrimLeadingSpaces(L"  "), L"");
}

TEST(TextLines, CountsASurrogatePairAsOneCharacter) {
    EXPECT_EQ(CharacterCount(L""), 0u);
    EXPECT_EQ(CharacterCount(L"\u4e2d"), 1u);
    EXPECT_EQ(CharacterCount(L"ab"), 2u);
    const wchar_t pair[] = {wchar_t(0xD83D), wchar_t(0xDE00), 0};
    EXPECT_EQ(CharacterCount(pair), 1u);
    const wchar_t lowHigh[] = {wchar_t(0xDE00), wchar_t(0xD83D), 0};
    EXPECT_EQ(CharacterCount(lowHigh), 2u);
}

TEST(UpperCase, MapsEachCharacterByTheSimpleUnicodeRule) {
    const struct {
        wchar_t lower;
        wchar_t upper;
    } cases[] = {
        {L'a', L'A'},           {L'z', L'Z'},           {L'A', L'A'},
        {L'1', L'1'},           {L'=', L'='},           {L';', L';'},
        {L'`', L'`'},           {L'{', L'{'},           {L'\u00e9', L'\u00c9'},
        {L'\u00ff', L'\u0178'}, {L'\u00df', L'\u00df'}, {L'\u00b5', L'\u039c'},
        {L'\u0101', L'\u0100'}, {L'\u0100', L'\u0100'}, {L'\u01ce', L'\u01cd'},
        {L'\u0131', L'I'},      {L'\u017f', L'S'},      {L'\u01c6', L'\u01c4'},
        {L'\u01c5', L'\u01c4'}, {L'\u03b1', L'\u0391'}, {L'\u03c2', L'\u03a3'},
        {L'\u0430', L'\u0410'}, {L'\u0451', L'\u0401'}, {L'\u1f80', L'\u1f88'},
        {L'\u2170', L'\u2160'}, {L'\u24d0', L'\u24b6'}, {L'\uff41', L'\uff21'},
        {L'\uff5a', L'\uff3a'}, {L'\uff5b', L'\uff5b'}, {L'\u4e2d', L'\u4e2d'},
        {L'\u3000', L'\u3000'}, {L'\ufffd', L'\ufffd'}, {wchar_t(0xD801), wchar_t(0xD801)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ToUpperChar(c.lower), c.upper) << std::hex << int(c.lower);
    }
}

TEST(UpperCase, KeepsLengthAndPositions) {
    EXPECT_EQ(ToUpperText(L"autoLoad=\u00df\u03b1x"), L"AUTOLOAD=\u00df\u0391X");
    EXPECT_EQ(ToUpperText(L""), L"");
}
