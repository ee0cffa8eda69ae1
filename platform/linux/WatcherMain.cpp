#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <string_view>

#include "LinuxPlatformServices.h"
#include "Watcher.h"
#include "WatcherLaunch.h"

namespace {

// The program holds the write end of the pipe on our standard input and
// never writes to it: the read ends when the program has ended.
class PipeWatcherPlatform final : public WatcherPlatform {
public:
    bool WaitForProgramEnd() override {
        char byte = 0;
        ssize_t got = 0;
        do {
            got = ::read(STDIN_FILENO, &byte, 1);
        } while (got > 0 || (got < 0 && errno == EINTR));
        return got == 0;
    }
    std::optional<std::filesystem::path> RecordPath() override { return CurrentRecordPath(); }
};

}  // namespace

// kov-display-watcher RUN, started by kov-display alone (see WatcherLaunch.h).
int main(int argc, char* argv[]) {
    const std::string_view run = argc == 2 ? argv[1] : "";
    std::uint32_t owner = 0;
    const auto [end, error] = std::from_chars(run.data(), run.data() + run.size(), owner);
    if (run.empty() || error != std::errc() || end != run.data() + run.size()) {
        return 2;
    }
    PipeWatcherPlatform platform;
    return RunWatcher(owner, platform, &MakeScreenGammaOutputs);
}
