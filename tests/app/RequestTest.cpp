#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HotKey.h"
#include "Request.h"

namespace {

using Kind = Command::Kind;
using Rules = CommandLineRules;
constexpr Request kReset{};
constexpr Request Read(int slot) {
    return {Request::Action::ReadPreset, slot};
}

struct CommandCase {
    Rules rules;
    std::vector<std::string> arguments;
    Kind kind;
    std::optional<Request> request;
};

// clang-format off
// Those the program is run with end to end are left to that run.
const CommandCase kCommands[] = {
    {Rules::Linux, {}, Kind::Run, {}},
    {Rules::Linux, {"--preset", "6"}, Kind::Run, Read(6)},
    {Rules::Linux, {"--help"}, Kind::Help, {}},
    {Rules::Linux, {"--version"}, Kind::Version, {}},
    {Rules::Windows, {"--PreSet", "2"}, Kind::Run, Read(2)},
    {Rules::Windows, {"/RESET"}, Kind::Run, kReset},
};
const std::pair<Rules, std::vector<std::string>> kWrongCommands[] = {
    {Rules::Linux, {"--preset", "0"}}, {Rules::Linux, {"--preset", "03"}},
    {Rules::Linux, {"--preset", "-1"}}, {Rules::Linux, {"3"}},
    {Rules::Linux, {"/preset", "3"}}, {Rules::Linux, {"--Reset"}},
    {Rules::Linux, {"--reset", "--reset"}}, {Rules::Linux, {"--preset", "3", "4"}},
    {Rules::Windows, {"--help"}}, {Rules::Windows, {"/version"}},
    {Rules::Windows, {"/preset"}}, {Rules::Windows, {"/presets", "3"}},
};
// clang-format on

}  // namespace

TEST(CommandLine, EachFormIsTakenByItsRulesAndAnythingElseIsAProblem) {
    for (const CommandCase& c : kCommands) {
        const Command command = ParseCommandLine(c.arguments, c.rules);
        EXPECT_EQ(command.kind, c.kind) << testing::PrintToString(c.arguments);
        EXPECT_EQ(command.request, c.request) << testing::PrintToString(c.arguments);
    }
    for (const auto& [rules, arguments] : kWrongCommands) {
        const Command command = ParseCommandLine(arguments, rules);
        EXPECT_EQ(command.kind, Kind::Error) << testing::PrintToString(arguments);
        EXPECT_FALSE(command.request.has_value());
        EXPECT_FALSE(command.problem.empty());
    }
}

TEST(HandOver, OnlyTheMessagesOfValidRequestsAreTaken) {
    for (const Request request : {kReset, Read(1), Read(6)}) {
        EXPECT_EQ(DecodeHandOver(EncodeHandOver(request)), request);
    }
    const HandOverMessage message = EncodeHandOver(Read(3));
    for (std::size_t i = 0; i < message.size(); ++i) {
        HandOverMessage changed = message;
        changed[i] ^= std::byte{0x80};
        EXPECT_FALSE(DecodeHandOver(changed)) << "byte " << i;
    }
    std::vector<std::byte> longer(message.begin(), message.end());
    longer.push_back(std::byte{0});
    EXPECT_FALSE(DecodeHandOver(longer));
    EXPECT_FALSE(DecodeHandOver(std::span(longer).first(kHandOverSize - 1)));
    EXPECT_FALSE(DecodeHandOver(EncodeHandOver(Read(7))));
    EXPECT_FALSE(DecodeHandOver(EncodeHandOver(Read(0))));
}

TEST(HotKeys, TextIsReadByTheDocumentedRulesAndWrittenBackTheSame) {
    constexpr unsigned ctrl = HotKey::kCtrl, alt = HotKey::kAlt, shift = HotKey::kShift,
                       win = HotKey::kWin;
    const std::pair<const wchar_t*, HotKey> good[] = {
        {L" ctrl + SHIFT +a ", {ctrl | shift, 'A'}},
        {L"Super+F12", {win, HotKey::kF1 + 11}},
        {L"Shift+Win+Alt+Ctrl+PageDown", {ctrl | alt | shift | win, HotKey::kPageDown}},
        {L"F24", {0, HotKey::kF1 + 23}},
        {L"alt+left", {alt, HotKey::kLeft}},
        {L"Ctrl+Delete", {ctrl, HotKey::kDelete}},
    };
    for (const auto& [text, key] : good) {
        EXPECT_EQ(ParseHotKey(text), key) << testing::PrintToString(std::wstring(text));
        const std::string written = HotKeyText(key);
        EXPECT_EQ(ParseHotKey(std::wstring(written.begin(), written.end())), key) << written;
    }
    EXPECT_EQ(HotKeyText(*ParseHotKey(L"shift+super+ctrl+f3")), "Ctrl+Shift+Win+F3");
    for (const wchar_t* bad : {L"", L"Ctrl+", L"+3", L"Ctrl++3", L"Ctrl+Ctrl+3", L"Win+Super+3",
                               L"Ctrl+Alt", L"3+Ctrl", L"Ctrl+3+4", L"Ctrl+Alt+33", L"F0", L"F01",
                               L"F25", L"Hyper+3", L"Ctrl+Ａ", L"Ctrl+Alt+Del", L"Ctrl+Alt+;"}) {
        EXPECT_FALSE(ParseHotKey(bad)) << testing::PrintToString(std::wstring(bad));
    }
}
