#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <utility>

#include "SettingsFile.h"

namespace fs = std::filesystem;

inline std::string ReadBytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

// A settings file in a fresh folder with a Chinese name, removed with all it holds.
class SettingsFileTest : public ::testing::Test {
protected:
    SettingsFileTest() { fs::create_directories(folder_); }
    ~SettingsFileTest() override {
        std::error_code ignored;
        fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(folder_, ignored);
    }
    const fs::path& File(std::string_view bytes) const {
        std::ofstream(path_, std::ios::binary).write(bytes.data(), std::ssize(bytes));
        return path_;
    }
    std::string Bytes() const { return ReadBytes(path_); }
    auto EntryCount() const { return std::distance(fs::directory_iterator(folder_), {}); }

    const fs::path folder_ = fs::temp_directory_path() /
                             (fs::path(u8"kov设置-") += std::to_string(std::random_device()()));
    const fs::path path_ = folder_ / u8"KOV调节设置.ini";
};

// Files and handles the process holds open, as each platform counts them.
std::size_t OpenHandleCount();

// A disk that takes n bytes and then fails, around a real pending file.
struct FailsAfter final : SettingsFile::PendingFile {
    FailsAfter(std::unique_ptr<PendingFile> file, std::size_t n) : file(std::move(file)), n(n) {}
    bool Write(std::string_view bytes) override {
        const std::string_view taken = bytes.substr(0, n);
        n -= taken.size();
        return file->Write(taken) && n > 0;
    }
    bool Commit() override { return file->Commit(); }
    std::unique_ptr<PendingFile> file;
    std::size_t n;
};
