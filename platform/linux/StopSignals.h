#pragma once

#include "UniqueFd.h"

// Turns SIGINT, SIGTERM and SIGHUP into a descriptor that turns readable,
// for the event loop to watch, so that the program can close its window
// normally. The handlers only write a byte into a pipe. One instance at a
// time; the previous handlers come back when it goes.
class StopSignals {
public:
    StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;
    ~StopSignals();

    // The descriptor to watch; -1 when the pipe could not be made.
    int Descriptor() const { return readEnd_.Get(); }

    // Takes the bytes waiting, so the descriptor is quiet until the next signal.
    void Drain();

private:
    UniqueFd readEnd_;
    UniqueFd writeEnd_;
};
