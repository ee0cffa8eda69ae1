#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "PlatformServices.h"
#include "RecordingGammaOutputs.h"

// Platform services for headless tests: a chosen answer to the instance
// question, a chosen program folder, whether it may be written and a user
// settings folder, and a record of every notice shown.
class FakePlatformServices final : public PlatformServices {
public:
    explicit FakePlatformServices(std::filesystem::path programFolder)
        : programFolder_(std::move(programFolder)) {}

    bool AnotherInstanceRunning() override { return anotherInstance; }
    void ShowNotice(std::wstring_view text, std::wstring_view title) override {
        notices.push_back(std::wstring(title) + L": " + std::wstring(text));
        onNotice();
    }
    void ShowRunningInstance() override { notices.push_back(L"the running window shown"); }
    std::filesystem::path ProgramFolder() override { return programFolder_; }
    bool CanCreateFilesIn(const std::filesystem::path&) override { return programFolderWritable; }
    std::filesystem::path UserSettingsFolder() override { return userSettingsFolder; }
    RecordStore* BaselineRecord() override { return &record; }
    void StartWatcher(std::uint32_t run) override { watchedRun = run; }
    bool HandOver(std::span<const std::byte> message) override {
        handedOver.assign(message.begin(), message.end());
        return handOverTaken;
    }
    int ListenForHandOvers() override { return -1; }
    bool TakeHandOvers(const std::function<void(std::span<const std::byte>)>&) override {
        return false;
    }
    int GrabHotKeys(std::span<const HotKey> keys) override {
        grabbed.assign(keys.begin(), keys.end());
        return -1;
    }
    bool TakeHotKeyPresses(const std::function<void(std::size_t)>&) override { return false; }

    bool anotherInstance = false;
    bool programFolderWritable = true;
    std::filesystem::path userSettingsFolder;
    std::vector<std::wstring> notices;
    std::function<void()> onNotice = [] {};  // runs while a notice shows
    MemoryRecordStore record;
    std::optional<std::uint32_t> watchedRun;
    bool handOverTaken = true;
    std::vector<std::byte> handedOver;
    std::vector<HotKey> grabbed;

private:
    std::filesystem::path programFolder_;
};
