// commctrl.h builds on the types of windows.h.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
// clang-format on

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "GammaDevice.h"
#include "Program.h"
#include "Request.h"
#include "WatcherLaunch.h"
#include "Win32FrontEnd.h"
#include "Win32PlatformServices.h"

namespace {

constexpr std::wstring_view kUsageNotice =
    L"命令行参数无效。可用的形式:\n\n"
    L"KOV调节显示器.exe\n"
    L"KOV调节显示器.exe --preset N   (或 /preset N)\n"
    L"KOV调节显示器.exe --reset   (或 /reset)\n\n"
    L"N 为预设的编号, 1 到 6。";

std::string Utf8(std::wstring_view text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(std::max(length, 0)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                        length, nullptr, nullptr);
    return bytes;
}

// The arguments after the program's name, split as the C runtime splits
// them.
std::vector<std::string> Arguments() {
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; words != nullptr && i < count; ++i) {
        arguments.push_back(Utf8(words[i]));
    }
    LocalFree(words);
    return arguments;
}

}  // namespace

// The watcher's switch, which the program gives itself, comes first; then
// the user's options.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR commandLine,
                    int showCommand) {
    const std::wstring_view arguments(commandLine);
    if (arguments.starts_with(kWatchSwitch)) {
        return RunWatcherFromCommandLine(arguments.substr(kWatchSwitch.size()));
    }
    // The themed common controls of the manifest take effect once comctl32
    // is loaded and its standard classes registered.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    Win32PlatformServices platform;
    const Command command = ParseCommandLine(Arguments(), CommandLineRules::Windows);
    if (command.kind != Command::Kind::Run) {
        platform.ShowNotice(kUsageNotice, kProgramTitle);
        return 2;
    }
    if (const auto status = HandOverToRunningProgram(platform, command.request)) {
        return *status;
    }
    const auto outputs = MakeScreenGammaOutputs();
    GammaDevice screen(*outputs);
    Program program(platform, screen);
    Win32FrontEnd frontEnd(instance, showCommand, program);
    return program.Run(frontEnd, command.request);
}
