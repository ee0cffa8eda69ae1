// commctrl.h builds on the types of windows.h.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <exception>

#include "FrmMain.h"
#include "GammaDevice.h"
#include "MainWindow.h"
#include "Module_SetScreen.h"
#include "Win32PlatformServices.h"

namespace {

// The themed common controls of the manifest take effect once comctl32 is
// loaded and its standard classes registered.
void LoadCommonControls() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);
}

int RunWindow(HINSTANCE instance, int showCommand) {
    Win32PlatformServices platform;
    FrmMain form(platform);
    // A refused start has shown its notice and unloaded; it ends here
    // without a window.
    if (!form.Form_Load()) {
        return 0;
    }
    try {
        MainWindow window(form, instance);
        window.Show(showCommand);
        return RunMessageLoop(window);
    } catch (const std::exception&) {
        // Whatever went wrong, the screen gets its own ramp back.
        form.Form_Unload();
        return 1;
    }
}

}  // namespace

// The program takes nothing from its command line.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int showCommand) {
    LoadCommonControls();
    const auto outputs = MakeScreenGammaOutputs();
    GammaDevice screen(*outputs);
    Module_SetScreen::UseDevice(&screen);
    const int exitCode = RunWindow(instance, showCommand);
    Module_SetScreen::UseDevice(nullptr);
    return exitCode;
}
