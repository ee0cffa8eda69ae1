#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "LinuxOutputs.h"

namespace {

bool Holds(const std::string& text, const std::string& line) {
    return text.find(line) != std::string::npos;
}

// Reads what fd brings until it holds every one of lines, or no more comes
// for 5 s.
std::string Await(int fd, const std::vector<std::string>& lines) {
    std::string text;
    const auto holdsAll = [&] {
        return std::ranges::all_of(lines, [&](const auto& line) { return Holds(text, line); });
    };
    for (char chunk[4096]; !holdsAll();) {
        pollfd ready{fd, POLLIN, 0};
        const ssize_t got = poll(&ready, 1, 5000) == 1 ? read(fd, chunk, sizeof chunk) : 0;
        if (got <= 0) {
            break;
        }
        text.append(chunk, static_cast<std::size_t>(got));
    }
    return text;
}

// gamma-compositor on a socket of its own, its output read through a pipe;
// stopped when this goes.
struct Compositor {
    explicit Compositor(std::vector<const char*> argv) {
        std::filesystem::create_directory(folder);
        setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
        setenv("WAYLAND_DISPLAY", "kov-test", 1);
        int ends[2]{-1, -1};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (pipe(ends) == 0 && posix_spawn_file_actions_adddup2(&actions, ends[1], 1) == 0) {
            argv.insert(argv.begin(), {GAMMA_COMPOSITOR, "kov-test"});
            argv.push_back(nullptr);
            posix_spawn(&pid, argv[0], &actions, nullptr, const_cast<char**>(argv.data()), environ);
            close(ends[1]);
        }
        posix_spawn_file_actions_destroy(&actions);
        out = ends[0];
    }
    ~Compositor() {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
        close(out);
        std::filesystem::remove_all(folder);
    }
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("kov-wl-" + std::to_string(getpid()));
    pid_t pid = 0;
    int out = -1;
};

}  // namespace

TEST(WaylandOutputs, AnOutputOfFewerThanTwoOrMoreThan65536LevelsIsDroppedAtOnce) {
    const Compositor compositor({"W1", "1", "W2", "2", "W3", "65536", "W4", "65537"});
    ASSERT_TRUE(Holds(Await(compositor.out, {"ready\n"}), "ready\n"));
    const auto outputs = MakeWaylandGammaOutputs();
    ASSERT_NE(outputs, nullptr);
    EXPECT_EQ(outputs->ActiveOutputs(), (std::vector<GammaOutput>{{"W2", 2}, {"W3", 65536}}));
    const std::string log = Await(compositor.out, {"destroyed W1\n", "destroyed W4\n"});
    EXPECT_TRUE(Holds(log, "destroyed W1\n") && Holds(log, "destroyed W4\n")) << log;
    EXPECT_FALSE(Holds(log, "destroyed W2") || Holds(log, "destroyed W3")) << log;
}
