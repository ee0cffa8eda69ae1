// commctrl.h builds on the types of windows.h.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <string_view>

#include "GammaDevice.h"
#include "Program.h"
#include "WatcherLaunch.h"
#include "Win32FrontEnd.h"
#include "Win32PlatformServices.h"

// The program takes nothing from its command line but the watcher's switch,
// which it gives itself.
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

    const auto outputs = MakeScreenGammaOutputs();
    GammaDevice screen(*outputs);
    Win32PlatformServices platform;
    Program program(platform, screen);
    Win32FrontEnd frontEnd(instance, showCommand, program);
    return program.Run(frontEnd);
}
