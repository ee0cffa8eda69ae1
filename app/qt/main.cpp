#include <QApplication>

#include "FrmMain.h"
#include "FrmMainWindow.h"
#include "LinuxPlatformServices.h"
#include "Module_SetScreen.h"
#include "TerminationSignals.h"

namespace {

// Makes the screen's device the one Module_SetScreen reaches for as long as
// it lives, so that a late unload still finds the screen.
class ScreenInUse {
public:
    explicit ScreenInUse(GammaDevice* device) { Module_SetScreen::UseDevice(device); }
    ScreenInUse(const ScreenInUse&) = delete;
    ScreenInUse& operator=(const ScreenInUse&) = delete;
    ScreenInUse(ScreenInUse&&) = delete;
    ScreenInUse& operator=(ScreenInUse&&) = delete;
    ~ScreenInUse() { Module_SetScreen::UseDevice(nullptr); }
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const TerminationSignals terminationSignals;

    const auto outputs = MakeScreenGammaOutputs();
    GammaDevice screen(*outputs);
    const ScreenInUse screenInUse(&screen);

    LinuxPlatformServices platform(CurrentInstanceLockPath());
    FrmMain form(platform);
    FrmMainWindow window(form, PrimaryScreenLogicalDpi());

    // While the load runs, the only event loop is the notice box's: a signal
    // then ends it, and the refused start ends as after OK. (quit() would
    // not do: it only ends the loop of exec().)
    const auto duringLoad = QObject::connect(&terminationSignals, &TerminationSignals::requested,
                                             &application, [] { QCoreApplication::exit(0); });
    if (!window.Load()) {
        return 0;
    }
    QObject::disconnect(duringLoad);
    QObject::connect(&terminationSignals, &TerminationSignals::requested, &window,
                     &FrmMainWindow::close);

    window.CentreOnPrimaryScreen();
    window.show();
    return QApplication::exec();
}
