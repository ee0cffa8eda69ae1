#include <QApplication>

#include "GammaDevice.h"
#include "LinuxPlatformServices.h"
#include "Program.h"
#include "QtFrontEnd.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const auto outputs = MakeScreenGammaOutputs();
    GammaDevice screen(*outputs);
    LinuxPlatformServices platform(CurrentInstanceLockPath());
    Program program(platform, screen);
    QtFrontEnd frontEnd(program);
    return program.Run(frontEnd);
}
