#include "QtFrontEnd.h"

#include <QApplication>

QtFrontEnd::QtFrontEnd(ProgramEvents& events) : events_(events) {
    if (stopSignals_.Descriptor() >= 0) {
        WatchDescriptor(stopSignals_.Descriptor(), [this, &events] {
            stopSignals_.Drain();
            events.StopRequested();
            return true;
        });
    }
}

void QtFrontEnd::BuildWindow(std::span<const PlannedControl> plan) {
    window_ = std::make_unique<FrmMainWindow>(plan, PrimaryScreenLogicalDpi());
    window_->OnKeyPress = [this](wchar_t key) { return events_.KeyPressed(key); };
}

int QtFrontEnd::RunEventLoop() {
    window_->CentreOnPrimaryScreen();
    window_->show();
    return QApplication::exec();
}

// Ends the event loops that run, a message box's included; a message box
// would not end on quit(), which ends only the loop of exec().
void QtFrontEnd::Quit() {
    QCoreApplication::exit(0);
}

void QtFrontEnd::WatchDescriptor(int fd, std::function<bool()> onReadable) {
    auto& notifier =
        notifiers_.emplace_back(std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read));
    QObject::connect(notifier.get(), &QSocketNotifier::activated,
                     [watch = notifier.get(), onReadable = std::move(onReadable)] {
                         if (!onReadable()) {
                             watch->setEnabled(false);
                         }
                     });
}
