#include <gtest/gtest.h>

#include <string_view>
#include <utility>

#include "SettingsText.h"
#include "UpperCase.h"

// Code page 936 both ways: ASCII, Chinese, full-width forms, Greek, the
// euro sign, the middle dot that other GBK tables map elsewhere, and the
// three user-defined areas, which Windows maps to private use.
TEST(SettingsText, DecodesAndEncodesCodePage936) {
    // clang-format off
    const std::pair<std::string_view, std::wstring_view> cases[] = {
        {"", L""}, {{"a\0b", 3}, {L"a\0b", 3}},
        {";KOV\xb5\xf7\xbd\xda\xcf\xd4\xca\xbe\xc6\xf7", L";KOV\u8c03\u8282\u663e\u793a\u5668"},
        {"\xd7\xf7\xd5\xdf\xa3\xba\xa1\xa1", L"\u4f5c\u8005\uff1a\u3000"},
        {"\xa6\xc1\xa6\xa1\xa8\xa6\x80\xa1\xa4", L"\u03b1\u0391\u00e9\u20ac\u00b7"},
        {"\xaa\xa1\xaf\xfe\xf8\xa1\xfe\xfe", L"\ue000\ue233\ue234\ue4c5"},
        {"\xa1\x40\xa1\x7e\xa1\x80\xa7\xa0", L"\ue4c6\ue504\ue505\ue765"}};
    // clang-format on
    for (const auto& [bytes, text] : cases) {
        EXPECT_EQ(DecodeSettingsText(bytes), text) << bytes;
        EXPECT_EQ(EncodeSettingsText(text), bytes) << bytes;
    }
    // A byte that starts no character is one U+FFFD; a character the code
    // page lacks is one "?".
    EXPECT_EQ(DecodeSettingsText("\x81\r\xff\xff\xd6\xd0\x81 \xd6"),
              L"\ufffd\r\ufffd\ufffd\u4e2d\ufffd \ufffd");
    EXPECT_EQ(EncodeSettingsText(L"\u00c9\u0e01x\ufffd\u00ff\u4e2d\U0001F600"), "??x??\xd6\xd0?");
}

// The generated table against Unicode's simple upper case.
TEST(UpperCase, MapsEachCharacterByTheSimpleUnicodeRule) {
    EXPECT_EQ(ToUpperText(L"az AZ19=;`{\u00e9\u00ff\u00df\u00b5\u0101\u0100\u01ce\u0131\u017f"
                          L"\u01c6\u01c5\u03b1\u03c2\u0430\u0451\u1f80\u2170\u24d0\uff41\uff5a"
                          L"\uff5b\u4e2d\u3000\ufffd"),
              L"AZ AZ19=;`{\u00c9\u0178\u00df\u039c\u0100\u0100\u01cd\u0049\u0053"
              L"\u01c4\u01c4\u0391\u03a3\u0410\u0401\u1f88\u2160\u24b6\uff21\uff3a"
              L"\uff5b\u4e2d\u3000\ufffd");
}
