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

// Reads what fd brings until text holds every one of lines, or no more
// comes for 5 s.
std::string Await(int fd, std::string text, const std::vector<std::string>& lines) {
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

}  // namespace

TEST(WaylandOutputs, AnOutputOfFewerThanTwoOrMoreThan65536LevelsIsDroppedAtOnce) {
    const auto folder =
        std::filesystem::temp_directory_path() / ("kov-wl-" + std::to_string(getpid()));
    std::filesystem::create_directory(folder);
    setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    setenv("WAYLAND_DISPLAY", "kov-test", 1);
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    const char* const argv[] = {GAMMA_COMPOSITOR, "kov-test", "W1",    "1",    "W2", "2", "W3",
                                "65536",          "W4",       "65537", nullptr};
    pid_t compositor = 0;
    ASSERT_EQ(
        posix_spawn(&compositor, argv[0], &actions, nullptr, const_cast<char**>(argv), environ), 0);
    close(out[1]);
    ASSERT_TRUE(Holds(Await(out[0], "", {"ready\n"}), "ready\n"));

    const auto outputs = MakeWaylandGammaOutputs();
    ASSERT_NE(outputs, nullptr);
    EXPECT_EQ(outputs->ActiveOutputs(), (std::vector<GammaOutput>{{"W2", 2}, {"W3", 65536}}));
    const std::string log = Await(out[0], "", {"destroyed W1\n", "destroyed W4\n"});
    EXPECT_TRUE(Holds(log, "destroyed W1\n") && Holds(log, "destroyed W4\n")) << log;
    EXPECT_FALSE(Holds(log, "destroyed W2") || Holds(log, "destroyed W3")) << log;

    kill(compositor, SIGTERM);
    waitpid(compositor, nullptr, 0);
    close(out[0]);
    std::filesystem::remove_all(folder);
}
