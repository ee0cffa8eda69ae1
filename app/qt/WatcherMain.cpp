#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <string_view>

#include "GammaDevice.h"
#include "Watcher.h"

// kov-display-watcher RUN, started by kov-display alone (see Watcher.h): it
// waits until the pipe on its standard input is closed, which happens when
// the program ends however it ends, then puts back what run RUN left on the
// screen (GammaDevice::PutBackAfterRun). It reaches the display only then.
int main(int argc, char* argv[]) {
    const std::string_view run = argc == 2 ? argv[1] : "";
    std::uint32_t owner = 0;
    const auto [end, error] = std::from_chars(run.data(), run.data() + run.size(), owner);
    if (run.empty() || error != std::errc() || end != run.data() + run.size()) {
        return 2;
    }
    // Nothing is ever written: the read ends when the program has ended.
    char byte = 0;
    ssize_t got = 0;
    do {
        got = ::read(STDIN_FILENO, &byte, 1);
    } while (got > 0 || (got < 0 && errno == EINTR));

    const auto path = CurrentRecordPath();
    if (!path) {
        return 0;
    }
    RecordFile record(*path);
    const auto outputs = MakeScreenGammaOutputs();
    GammaDevice screen(*outputs);
    screen.KeepRecordIn(&record, owner);
    screen.PutBackAfterRun();
    return 0;
}
