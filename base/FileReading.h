#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

// The one loop that reads a whole file, for each platform's ReadFileBytes.
namespace Files {

// Reads chunks through readSome (into a buffer, at most a size; gives the
// count read, 0 at the end, nothing on an error) until the end, with room
// for sizeHint bytes and the last, empty read, so the text is never moved.
// Nothing once more than maxBytes have come.
std::optional<std::string> ReadAll(
    std::size_t sizeHint, std::size_t maxBytes,
    const std::function<std::optional<std::size_t>(char*, std::size_t)>& readSome);

}  // namespace Files
