#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <array>
#include <memory>

// The one QApplication of a test program, alive while the tests run (CTest
// runs them off screen at 96 logical dots per inch) and gone before the
// program's exit handlers.
struct QtApplicationEnvironment : ::testing::Environment {
    void SetUp() override { application = std::make_unique<QApplication>(argc, argv.data()); }
    void TearDown() override { application.reset(); }

    int argc = 1;
    std::array<char, 12> name{"kov-qt-test"};
    std::array<char*, 2> argv{name.data(), nullptr};
    std::unique_ptr<QApplication> application;
};

inline ::testing::Environment* const kQtApplicationEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);
