#pragma once

#include <QObject>
#include <memory>

#include "UniqueFd.h"

class QSocketNotifier;

// Turns SIGINT, SIGTERM and SIGHUP into the Qt signal requested(), emitted
// from the event loop, so that the program can close its window normally.
// The handlers only write a byte into a pipe that the event loop watches.
// One instance at a time; the previous handlers come back when it goes.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;
    ~TerminationSignals() override;

signals:
    void requested();

private:
    void Drain();

    UniqueFd readEnd_;
    UniqueFd writeEnd_;
    std::unique_ptr<QSocketNotifier> notifier_;
};
