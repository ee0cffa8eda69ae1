#pragma once

#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "PlatformServices.h"
#include "RecordFile.h"
#include "Win32Handles.h"

// The name of the mutex whose existence marks a running instance. "Local\"
// puts it in the session's namespace: one instance per logged-on user
// session, as each session has its own screen.
inline constexpr std::wstring_view kInstanceMutexName = L"Local\\KOV-Display-Single-Instance";

// The class of the program's main window, by which a later start finds it
// on its desktop to hand a request over with WM_COPYDATA; the message's
// dwData carries this mark ("KOV1"), its data the request.
inline constexpr wchar_t kMainWindowClassName[] = L"KovDisplayFrmMain";
inline constexpr ULONG_PTR kHandOverDataMark = 0x4B4F5631;

// baseline-<session id>.record in a folder KOV调节显示器 of the user's local
// application data folder, or else of the temp folder; one per session.
// None when there is neither. The folder is made by the first write, so a
// run that changes nothing leaves nothing behind.
std::optional<std::filesystem::path> CurrentRecordPath();

// The platform services on Windows: a named mutex for the one instance, a
// message box for the notice, the executable's folder, the session's
// baseline record and watcher, WM_COPYDATA for the hand-over, and global
// keys registered for the calling thread (WM_HOTKEY with no window, its
// wParam the key's index).
class Win32PlatformServices final : public PlatformServices {
public:
    explicit Win32PlatformServices(std::wstring_view mutexName = kInstanceMutexName);
    ~Win32PlatformServices() override;

    bool AnotherInstanceRunning() override;
    void ShowNotice(std::wstring_view text, std::wstring_view title) override;
    void ShowRunningInstance() override;
    std::filesystem::path ProgramFolder() override;
    bool CanCreateFilesIn(const std::filesystem::path& folder) override;
    std::filesystem::path UserSettingsFolder() override;
    RecordStore* BaselineRecord() override;
    void StartWatcher(std::uint32_t run) override;
    bool HandOver(std::span<const std::byte> message) override;
    int ListenForHandOvers() override { return -1; }
    bool TakeHandOvers(const std::function<void(std::span<const std::byte>)>&) override {
        return false;
    }
    int GrabHotKeys(std::span<const HotKey> keys) override;
    bool TakeHotKeyPresses(const std::function<void(std::size_t)>&) override { return false; }

private:
    std::wstring mutexName_;
    std::size_t hotKeyIds_ = 0;
    CurrentRecord record_{&CurrentRecordPath};
    // Held for the life of the process once this instance has claimed it.
    UniqueKernelHandle instanceMutex_;
    // Held for the life of the process, and by the watcher after it.
    UniqueKernelHandle runMark_;
};

// A folder of the user's that the shell names by its CSIDL (CSIDL_APPDATA,
// CSIDL_LOCAL_APPDATA); empty when the shell cannot give it.
std::filesystem::path ShellFolder(int csidl);

// The full path of a module's file, however long; the buffer starts at
// initialCapacity characters and grows until the name fits. Empty on failure.
std::wstring ModuleFileName(HMODULE module, std::size_t initialCapacity = MAX_PATH);
