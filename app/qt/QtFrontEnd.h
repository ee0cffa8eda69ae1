#pragma once

#include <QSocketNotifier>
#include <memory>
#include <vector>

#include "FrmMainWindow.h"
#include "FrontEnd.h"
#include "StopSignals.h"

// The Linux front end: the window in Qt widgets and Qt's event loop. Stop
// signals (SIGINT, SIGTERM, SIGHUP) are reported to the program from the
// start, so that one during the load's notice box reaches it too.
class QtFrontEnd final : public FrontEnd {
public:
    explicit QtFrontEnd(ProgramEvents& events);

    void BuildWindow(std::span<const PlannedControl> plan) override;
    int RunEventLoop() override;
    void Quit() override;
    void WatchDescriptor(int fd, std::function<bool()> onReadable) override;

    FrmMainWindow* Window() const { return window_.get(); }

private:
    ProgramEvents& events_;
    StopSignals stopSignals_;
    std::unique_ptr<FrmMainWindow> window_;
    std::vector<std::unique_ptr<QSocketNotifier>> notifiers_;
};
