#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <array>
#include <memory>

// The one QApplication of a test program, alive while the tests run and
// gone before the program's exit handlers. CTest runs the tests off screen
// at 96 logical dots per inch; run any other way, they stop here.
class QtApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        ASSERT_EQ(qgetenv("QT_QPA_PLATFORM"), "offscreen") << "run the Qt tests through ctest";
        ASSERT_EQ(qgetenv("QT_FONT_DPI"), "96") << "run the Qt tests through ctest";
        application_ = std::make_unique<QApplication>(argc_, argv_.data());
    }
    void TearDown() override { application_.reset(); }

private:
    int argc_ = 1;
    std::array<char, 12> name_{"kov-qt-test"};
    std::array<char*, 2> argv_{name_.data(), nullptr};
    std::unique_ptr<QApplication> application_;
};

inline ::testing::Environment* const kQtApplicationEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);
