#include <QApplication>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "GammaDevice.h"
#include "Program.h"
#include "QtFrontEnd.h"
#include "QtPlatformServices.h"
#include "Request.h"

namespace {

constexpr std::string_view kUsage =
    "Usage: kov-display [--preset N | --reset]\n"
    "       kov-display --help | --version\n";

constexpr std::string_view kHelp =
    "\nAdjusts the brightness and colour balance of the whole screen.\n"
    "\n"
    "  --preset N  read preset slot N (1 to 6) in place of the start-up preset;\n"
    "              when the program already runs on this display, have it read\n"
    "              the slot, and end\n"
    "  --reset     the same with 复位: the screen as it was at the program's start\n"
    "  --help      show this help and end\n"
    "  --version   show the version and end\n";

// The commands that end before the program runs: their exit status.
std::optional<int> Answer(const Command& command) {
    switch (command.kind) {
        case Command::Kind::Help:
            std::cout << kUsage << kHelp;
            return 0;
        case Command::Kind::Version:
            std::cout << "kov-display " << KOV_VERSION << "\n";
            return 0;
        case Command::Kind::Error:
            std::cerr << "kov-display: " << command.problem << "\n" << kUsage;
            return 2;
        case Command::Kind::Run:
            break;
    }
    return std::nullopt;
}

}  // namespace

// The command line is read before Qt starts, so that answering it or
// handing a request over needs no display.
int main(int argc, char* argv[]) {
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    const Command command = ParseCommandLine(arguments, CommandLineRules::Linux);
    if (const auto status = Answer(command)) {
        return *status;
    }
    QtPlatformServices platform(CurrentInstanceLockPath());
    if (const auto status = HandOverToRunningProgram(platform, command.request)) {
        if (*status != 0) {
            std::cerr << "kov-display: the running program did not take the request\n";
        }
        return *status;
    }
    QApplication application(argc, argv);
    const auto outputs = MakeScreenGammaOutputs();
    GammaDevice screen(*outputs);
    Program program(platform, screen);
    QtFrontEnd frontEnd(program);
    return program.Run(frontEnd, command.request);
}
