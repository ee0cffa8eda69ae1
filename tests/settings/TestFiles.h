#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

namespace fs = std::filesystem;

class SettingsFileTest : public ::testing::Test {
protected:
    SettingsFileTest() { fs::create_directories(folder_); }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(folder_, ignored);
    }
    std::string Bytes(const fs::path& path = {}) const {
        std::ifstream file(path.empty() ? path_ : path, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), {}};
    }
    const fs::path& File(std::string_view bytes) const {
        std::ofstream(path_, std::ios::binary).write(bytes.data(), std::ssize(bytes));
        return path_;
    }
    auto EntryCount() const { return std::distance(fs::directory_iterator(folder_), {}); }

    const fs::path folder_ = fs::temp_directory_path() /
                             (fs::path(u8"kov设置-") += std::to_string(std::random_device()()));
    const fs::path path_ = folder_ / u8"KOV调节设置.ini";
};

std::size_t OpenHandleCount();
