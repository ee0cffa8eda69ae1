#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>

// What the program can be asked to do from outside its window: by its
// command line, by a later start that hands it over, or by a global key.
struct Request {
    enum class Action : unsigned char { ReadPreset, Reset };

    Action action = Action::Reset;
    // The slot of ReadPreset, 1..6; 0 with Reset.
    int slot = 0;

    bool operator==(const Request&) const = default;
};

// What a start of the program was asked for on its command line.
struct Command {
    enum class Kind { Run, Help, Version, Error };

    Kind kind = Kind::Run;
    // With Run: the request to carry out in place of the start-up preset,
    // or to hand to the program already running.
    std::optional<Request> request;
    // With Error: what is wrong, in a few words.
    std::string problem;
};

// The forms each build accepts:
//   both:    --preset N, --reset (N one of 1..6; no argument at all runs
//            the program as it is)
//   Linux:   --help, --version; names as written
//   Windows: /preset N, /reset; names in any letter case, as is usual there
enum class CommandLineRules { Linux, Windows };

// The command that arguments (the command line without the program's own
// name, in UTF-8) ask for. Exactly one form is taken; anything else, a
// second form included, is an error.
Command ParseCommandLine(std::span<const std::string> arguments, CommandLineRules rules);

// A request as handed from a later start to the running program: a fixed,
// small message with a mark of its own, so that anything else is refused.
inline constexpr std::size_t kHandOverSize = 8;
using HandOverMessage = std::array<std::byte, kHandOverSize>;

HandOverMessage EncodeHandOver(const Request& request);
// The request in message; none unless it is exactly one that
// EncodeHandOver makes.
std::optional<Request> DecodeHandOver(std::span<const std::byte> message);
