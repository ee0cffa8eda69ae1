#include <fontconfig/fontconfig.h>

#include <QApplication>
#include <system_error>
#include <thread>

#include "GammaDevice.h"
#include "LinuxPlatformServices.h"
#include "Program.h"
#include "QtFrontEnd.h"

namespace {

// Loads the system's font configuration, the longest step of Qt's font
// database, on a thread of its own while Qt connects to the display; the
// window's first caption would otherwise wait for it. Qt takes the same
// configuration when it finds it loaded, or loads it itself when no thread
// could be started.
std::jthread LoadFontConfiguration() {
    try {
        return std::jthread([] { FcInit(); });
    } catch (const std::system_error&) {
        return {};
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::jthread fontConfiguration = LoadFontConfiguration();
    QApplication application(argc, argv);
    const auto outputs = MakeScreenGammaOutputs();
    GammaDevice screen(*outputs);
    LinuxPlatformServices platform(CurrentInstanceLockPath());
    Program program(platform, screen);
    QtFrontEnd frontEnd(program);
    return program.Run(frontEnd);
}
