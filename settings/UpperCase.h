#pragma once

// Upper-cases a character for comparing settings keys. The rule is
// Unicode's simple upper-case mapping for the Basic Multilingual Plane, one
// character to one character, the same on every platform and in every
// locale: "a" and "ａ" (full width) become "A" and "Ａ", "é" becomes "É",
// Greek and Cyrillic letters map too, "ß" stays (its upper case is two
// letters). Characters outside the Basic Multilingual Plane are left alone,
// so text of UTF-16 and of UTF-32 upper-cases alike.
wchar_t ToUpperChar(wchar_t c);
