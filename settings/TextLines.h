#pragma once

#include <cstddef>
#include <string_view>

// Walks the lines of a settings file's bytes. CR LF, a lone LF and a lone CR
// each end a line; an empty file has no lines, and a line end at the very
// end starts no further line. Splitting the bytes before decoding is safe:
// CR and LF are never part of a longer character in an ANSI code page.
class ByteLines {
public:
    explicit ByteLines(std::string_view bytes)
        : bytes_(bytes), nextCr_(bytes.find('\r')), nextLf_(bytes.find('\n')) {}

    // Gives the next line without its line end; false when there is none.
    bool Next(std::string_view& line);

private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
    // Where the next CR and the next LF stand (npos when none is left). Each
    // is searched for again only once passed, so no byte is looked at twice.
    std::size_t nextCr_;
    std::size_t nextLf_;
};

// Text without the spaces (U+0020 only) at both ends.
std::wstring_view TrimSpaces(std::wstring_view text);

// How many characters text holds; a UTF-16 surrogate pair counts as one.
std::size_t CharacterCount(std::wstring_view text);
