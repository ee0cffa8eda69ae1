#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "LinuxOutputs.h"

// What the compositor prints until it has printed each of lines, or ends.
std::string ReadUntil(FILE* log, const std::vector<std::string>& lines) {
    std::string text;
    char chunk[256];
    while (!std::ranges::all_of(lines, [&](const auto& line) {
        return text.find(line) != text.npos;
    }) && std::fgets(chunk, sizeof chunk, log) != nullptr) {
        text += chunk;
    }
    return text;
}

TEST(WaylandOutputs, AnOutputOfFewerThanTwoOrMoreThan65536LevelsIsDroppedAtOnce) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path();
    const std::string socket = "kov-test-" + std::to_string(getpid());
    setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    setenv("WAYLAND_DISPLAY", socket.c_str(), 1);
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    const pid_t compositor = fork();
    if (compositor == 0) {
        dup2(out[1], STDOUT_FILENO);
        // It ends by itself after 10 s, should the test not stop it.
        execlp("timeout", "timeout", "10", GAMMA_COMPOSITOR, socket.c_str(), "W1", "1", "W2", "2",
               "W3", "65536", "W4", "65537", nullptr);
        _exit(127);
    }
    close(out[1]);
    FILE* const log = fdopen(out[0], "r");
    ASSERT_EQ(ReadUntil(log, {"ready\n"}), "ready\n");
    const auto outputs = MakeWaylandGammaOutputs();
    ASSERT_NE(outputs, nullptr);
    EXPECT_EQ(outputs->ActiveOutputs(), (std::vector<GammaOutput>{{"W2", 2}, {"W3", 65536}}));
    // Destroyed while the connection lasts; the others stay held.
    EXPECT_EQ(ReadUntil(log, {"destroyed W1\n", "destroyed W4\n"}),
              "control W1 1\ncontrol W2 2\ncontrol W3 65536\ncontrol W4 65537\n"
              "destroyed W1\ndestroyed W4\n");
    kill(compositor, SIGTERM);
    waitpid(compositor, nullptr, 0);
    fclose(log);
    std::filesystem::remove(folder / socket);
    std::filesystem::remove(folder / (socket + ".lock"));
}
