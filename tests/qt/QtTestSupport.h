#pragma once

#include <stdlib.h>

#include <QApplication>
#include <filesystem>
#include <string>

// The one QApplication of a test program, created on first use. The tests
// always draw off screen, at 96 logical dots per inch.
inline QApplication& TestApplication() {
    static int argc = 1;
    static char name[] = "kov-qt-test";
    static char* argv[] = {name, nullptr};
    [[maybe_unused]] static const bool environmentSet = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("QT_FONT_DPI", "96");
        return true;
    }();
    static QApplication application(argc, argv);
    return application;
}

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
