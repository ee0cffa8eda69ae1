#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "SettingsFile.h"

// A fresh folder under the system's temporary folder, removed with all it
// holds when the test ends.
class TempFolder {
public:
    TempFolder() : path_(MakeUnique()) { std::filesystem::create_directories(path_); }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& name) const {
        return path_ / name;
    }

    // The names of everything in the folder, to spot stray temporary files.
    std::vector<std::filesystem::path> Entries() const {
        std::vector<std::filesystem::path> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_)) {
            names.push_back(entry.path().filename());
        }
        return names;
    }

private:
    static std::filesystem::path MakeUnique() {
        static std::atomic<int> sequence{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        return std::filesystem::temp_directory_path() /
               ("kov-settings-test-" + std::to_string(stamp) + "-" + std::to_string(sequence++));
    }

    std::filesystem::path path_;
};

inline void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    std::string bytes(static_cast<std::size_t>(std::max<std::streamoff>(file.tellg(), 0)), '\0');
    file.seekg(0);
    file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

// A settings file in a temporary folder of its own.
class SettingsFileTest : public ::testing::Test {
protected:
    std::filesystem::path File(std::string_view bytes) {
        WriteBytes(path_, bytes);
        return path_;
    }
    std::string Bytes() const { return ReadBytes(path_); }

    TempFolder folder_;
    std::filesystem::path path_ = folder_ / "settings.ini";
};

// How many files and handles this process holds open; each platform's file
// tests define it.
std::size_t OpenHandleCount();

// Makes every rewrite fail after a number of bytes while it lives.
class WriteFault {
public:
    explicit WriteFault(std::size_t bytes) { SettingsFile::FailWriteAfterBytes = bytes; }
    ~WriteFault() { SettingsFile::FailWriteAfterBytes.reset(); }
    WriteFault(const WriteFault&) = delete;
    WriteFault& operator=(const WriteFault&) = delete;
};

// Shows bytes with CR and LF visible, for failure messages.
inline std::string Visible(std::string_view bytes) {
    std::string shown;
    for (const char c : bytes) {
        if (c == '\r') {
            shown += "\\r";
        } else if (c == '\n') {
            shown += "\\n";
        } else {
            shown += c;
        }
    }
    return shown;
}
