#include "StopSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>

namespace {

constexpr std::array kSignals{SIGINT, SIGTERM, SIGHUP};

// The pipe's write end, for the handler; -1 while no instance exists.
volatile std::sig_atomic_t WakeFd = -1;
std::array<struct sigaction, kSignals.size()> PreviousActions{};

extern "C" void OnStopSignal(int /*signal*/) {
    const int savedErrno = errno;
    const char byte = 1;
    const int fd = WakeFd;
    if (fd >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    errno = savedErrno;
}

}  // namespace

StopSignals::StopSignals() {
    std::array<int, 2> ends{-1, -1};
    if (::pipe2(ends.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    readEnd_.Reset(ends[0]);
    writeEnd_.Reset(ends[1]);
    WakeFd = writeEnd_.Get();

    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        ::sigaction(kSignals[i], &action, &PreviousActions[i]);
    }
}

StopSignals::~StopSignals() {
    if (!writeEnd_) {
        return;
    }
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        ::sigaction(kSignals[i], &PreviousActions[i], nullptr);
    }
    WakeFd = -1;
}

void StopSignals::Drain() {
    std::array<char, 64> bytes{};
    while (::read(readEnd_.Get(), bytes.data(), bytes.size()) > 0) {
    }
}
