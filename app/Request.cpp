#include "Request.h"

#include <algorithm>
#include <string_view>

#include "Module1.h"

namespace {

enum class Option { Preset, Reset, Help, Version };

struct OptionForm {
    std::string_view name;
    Option option;
    bool onLinux;
    bool onWindows;
};

constexpr OptionForm kOptionForms[] = {
    {"--preset", Option::Preset, true, true}, {"--reset", Option::Reset, true, true},
    {"--help", Option::Help, true, false},    {"--version", Option::Version, true, false},
    {"/preset", Option::Preset, false, true}, {"/reset", Option::Reset, false, true},
};

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool Names(std::string_view argument, const OptionForm& form, CommandLineRules rules) {
    if (rules == CommandLineRules::Linux) {
        return form.onLinux && argument == form.name;
    }
    return form.onWindows && std::ranges::equal(argument, form.name,
                                                [](char a, char b) { return LowerAscii(a) == b; });
}

std::optional<Option> OptionNamed(std::string_view argument, CommandLineRules rules) {
    for (const OptionForm& form : kOptionForms) {
        if (Names(argument, form, rules)) {
            return form.option;
        }
    }
    return std::nullopt;
}

// A slot is written as one digit, 1 to 6.
std::optional<int> SlotNamed(std::string_view text) {
    if (text.size() != 1 || !Module1::IsPresetSlot(text[0] - '0')) {
        return std::nullopt;
    }
    return text[0] - '0';
}

// An argument as the problem quotes it, with control characters shown as
// "?" so that it cannot steer the terminal it is written to.
std::string Quoted(std::string_view argument) {
    std::string quoted = "'";
    for (const char c : argument) {
        const auto byte = static_cast<unsigned char>(c);
        quoted += byte < 0x20 || byte == 0x7F ? '?' : c;
    }
    return quoted + "'";
}

Command Problem(std::string problem) {
    return {Command::Kind::Error, std::nullopt, std::move(problem)};
}

constexpr std::byte kMark[] = {std::byte{'K'}, std::byte{'O'}, std::byte{'V'}, std::byte{1}};
constexpr std::byte kReadPreset{'P'};
constexpr std::byte kReset{'R'};

}  // namespace

Command ParseCommandLine(std::span<const std::string> arguments, CommandLineRules rules) {
    if (arguments.empty()) {
        return {};
    }
    const std::string& first = arguments[0];
    const std::optional<Option> option = OptionNamed(first, rules);
    if (!option) {
        return Problem("unknown option " + Quoted(first));
    }
    Command command;
    std::size_t used = 1;
    switch (*option) {
        case Option::Preset: {
            if (arguments.size() < 2) {
                return Problem(first + " needs a slot number from 1 to 6");
            }
            const std::optional<int> slot = SlotNamed(arguments[1]);
            if (!slot) {
                return Problem(Quoted(arguments[1]) + " is not a slot number from 1 to 6");
            }
            command.request = Request{Request::Action::ReadPreset, *slot};
            used = 2;
            break;
        }
        case Option::Reset:
            command.request = Request{};
            break;
        case Option::Help:
            command.kind = Command::Kind::Help;
            break;
        case Option::Version:
            command.kind = Command::Kind::Version;
            break;
    }
    if (arguments.size() > used) {
        return Problem("one option at a time; " + Quoted(arguments[used]) + " is one too many");
    }
    return command;
}

HandOverMessage EncodeHandOver(const Request& request) {
    const bool read = request.action == Request::Action::ReadPreset;
    return {kMark[0],
            kMark[1],
            kMark[2],
            kMark[3],
            read ? kReadPreset : kReset,
            std::byte(read ? request.slot : 0),
            std::byte{0},
            std::byte{0}};
}

std::optional<Request> DecodeHandOver(std::span<const std::byte> message) {
    if (message.size() != kHandOverSize) {
        return std::nullopt;
    }
    const int slot = std::to_integer<int>(message[5]);
    const Request request = message[4] == kReadPreset ? Request{Request::Action::ReadPreset, slot}
                                                      : Request{Request::Action::Reset, slot};
    // Only what EncodeHandOver makes of a valid request is taken.
    const bool valid = request.action == Request::Action::Reset || Module1::IsPresetSlot(slot);
    if (!valid || !std::ranges::equal(EncodeHandOver(request), message)) {
        return std::nullopt;
    }
    return request;
}
