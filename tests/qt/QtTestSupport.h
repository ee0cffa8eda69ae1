#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <array>
#include <filesystem>
#include <memory>
#include <string>

// The one QApplication of a test program, alive while the tests run and
// gone before the program's exit handlers. The tests draw off screen at 96
// logical dots per inch, in the environment CTest gives them; run any other
// way, they stop here rather than fail on a real screen for other reasons.
class QtApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        ASSERT_EQ(qgetenv("QT_QPA_PLATFORM").toStdString(), "offscreen") << kRunThroughCTest;
        ASSERT_EQ(qgetenv("QT_FONT_DPI").toStdString(), "96") << kRunThroughCTest;
        application_ = std::make_unique<QApplication>(argc_, argv_.data());
    }
    void TearDown() override { application_.reset(); }

private:
    static constexpr const char* kRunThroughCTest =
        "run the Qt tests through ctest, which sets QT_QPA_PLATFORM=offscreen and QT_FONT_DPI=96";
    int argc_ = 1;
    std::array<char, 12> name_{"kov-qt-test"};
    std::array<char*, 2> argv_{name_.data(), nullptr};
    std::unique_ptr<QApplication> application_;
};

// GoogleTest owns the environment and sets it up before the first test.
inline ::testing::Environment* const kQtApplicationEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

// A fresh folder in the temp directory, removed with everything in it when
// the owner goes.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kov-qt-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }

    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};
