#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "PlatformServices.h"

// Platform services for headless tests: a chosen answer to the instance
// question, a chosen program folder, and a record of every notice shown.
class FakePlatformServices final : public PlatformServices {
public:
    struct Notice {
        std::wstring text;
        std::wstring title;
    };

    explicit FakePlatformServices(std::filesystem::path programFolder)
        : programFolder_(std::move(programFolder)) {}

    void SetAnotherInstanceRunning(bool running) { anotherInstance_ = running; }

    bool AnotherInstanceRunning() override {
        ++instanceChecks_;
        return anotherInstance_;
    }

    void ShowNotice(std::wstring_view text, std::wstring_view title) override {
        notices_.push_back({std::wstring(text), std::wstring(title)});
    }

    std::filesystem::path ProgramFolder() override {
        ++folderQueries_;
        return programFolder_;
    }

    const std::vector<Notice>& Notices() const { return notices_; }
    int InstanceChecks() const { return instanceChecks_; }
    int FolderQueries() const { return folderQueries_; }

private:
    std::filesystem::path programFolder_;
    bool anotherInstance_ = false;
    std::vector<Notice> notices_;
    int instanceChecks_ = 0;
    int folderQueries_ = 0;
};
