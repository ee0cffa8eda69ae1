#include <QApplication>

#include "GammaDevice.h"
#include "Program.h"
#include "QtFrontEnd.h"
#include "QtPlatformServices.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const auto outputs = MakeScreenGammaOutputs();
    GammaDevice screen(*outputs);
    QtPlatformServices platform(CurrentInstanceLockPath());
    Program program(platform, screen);
    QtFrontEnd frontEnd(program);
    return program.Run(frontEnd);
}
