// startup_probe COMMAND [ARGS...]
//
// Starts COMMAND and reports how long it took until its first top-level
// window was mapped on $DISPLAY, then lets it run a moment, asks it to end
// with SIGTERM and reports its peak resident memory over its whole life:
//
//   mapped_ms=123.4 maxrss_kb=45678
//
// Exits 1 if the command maps no window within 30 s or cannot start.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/select.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <memory>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kMapTimeout = std::chrono::seconds(30);
constexpr auto kSettleTime = std::chrono::milliseconds(300);

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};

// The process id a window says it belongs to, or -1.
long WindowPid(Display* display, Window window) {
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                           &count, &remaining, &data) == Success &&
        data != nullptr) {
        if (count == 1 && format == 32) {
            pid = *reinterpret_cast<const long*>(data);
        }
        XFree(data);
    }
    return pid;
}

// Waits for a MapNotify of a top-level window of process pid.
bool WaitForMappedWindow(Display* display, pid_t pid, Clock::time_point deadline) {
    const int fd = ConnectionNumber(display);
    while (Clock::now() < deadline) {
        while (XPending(display) > 0) {
            XEvent event{};
            XNextEvent(display, &event);
            if (event.type == MapNotify && WindowPid(display, event.xmap.window) == pid) {
                return true;
            }
        }
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(fd, &readable);
        timeval wait{0, 20000};
        select(fd + 1, &readable, nullptr, nullptr, &wait);
    }
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: startup_probe COMMAND [ARGS...]\n");
        return 2;
    }
    const std::unique_ptr<Display, DisplayCloser> display(XOpenDisplay(nullptr));
    if (!display) {
        std::fprintf(stderr, "startup_probe: cannot open the display\n");
        return 2;
    }
    XSelectInput(display.get(), DefaultRootWindow(display.get()), SubstructureNotifyMask);
    XSync(display.get(), False);

    const Clock::time_point start = Clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[1], nullptr, nullptr, argv + 1, environ) != 0) {
        std::fprintf(stderr, "startup_probe: cannot start %s\n", argv[1]);
        return 1;
    }
    const bool mapped = WaitForMappedWindow(display.get(), pid, start + kMapTimeout);
    const std::chrono::duration<double, std::milli> elapsed = Clock::now() - start;

    std::this_thread::sleep_for(kSettleTime);
    kill(pid, SIGTERM);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (!mapped) {
        std::fprintf(stderr, "startup_probe: %s mapped no window\n", argv[1]);
        return 1;
    }
    std::printf("mapped_ms=%.1f maxrss_kb=%ld\n", elapsed.count(), usage.ru_maxrss);
    return 0;
}
