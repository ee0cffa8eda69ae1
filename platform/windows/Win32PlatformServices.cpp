#include "Win32PlatformServices.h"

#include <shlobj.h>

#include <algorithm>
#include <chrono>
#include <limits>
#include <utility>
#include <vector>

#include "Files.h"
#include "WatcherLaunch.h"

namespace {

// Paths on Windows are at most 32767 characters, whatever the buffer.
constexpr std::size_t kLongestPath = 32768;

// The user's local application data folder, then the temp folder.
std::vector<std::filesystem::path> RecordRoots() {
    std::vector<std::filesystem::path> roots;
    if (auto localAppData = ShellFolder(CSIDL_LOCAL_APPDATA); !localAppData.empty()) {
        roots.push_back(std::move(localAppData));
    }
    std::wstring folder(MAX_PATH + 1, L'\0');
    if (GetTempPathW(static_cast<DWORD>(folder.size()), folder.data()) != 0) {
        roots.emplace_back(folder.c_str());
    }
    return roots;
}

// The run mark is a named object that a run holds and hands on to its
// watcher, which holds it until it is done; the name exists while anyone
// holds it. A new run waits up to two seconds for a finishing watcher's
// mark to go, so it does not capture a screen still being put back, then
// takes its own.
UniqueKernelHandle TakeRunMark(const std::wstring& name) {
    constexpr ULONGLONG kLongestWaitMs = 2000;
    constexpr DWORD kPauseMs = 20;
    const ULONGLONG deadline = GetTickCount64() + kLongestWaitMs;
    for (;;) {
        const UniqueKernelHandle held(OpenMutexW(SYNCHRONIZE, FALSE, name.c_str()));
        if (!held || GetTickCount64() >= deadline) {
            break;
        }
        Sleep(kPauseMs);
    }
    return UniqueKernelHandle(CreateMutexW(nullptr, FALSE, name.c_str()));
}

UINT VirtualKeyOf(std::uint16_t key) {
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) {
        return key;
    }
    if (key >= HotKey::kF1 && key < HotKey::kF1 + 24) {
        return VK_F1 + (key - HotKey::kF1);
    }
    switch (key) {
        case HotKey::kPageUp:
            return VK_PRIOR;
        case HotKey::kPageDown:
            return VK_NEXT;
        case HotKey::kHome:
            return VK_HOME;
        case HotKey::kEnd:
            return VK_END;
        case HotKey::kInsert:
            return VK_INSERT;
        case HotKey::kDelete:
            return VK_DELETE;
        case HotKey::kLeft:
            return VK_LEFT;
        case HotKey::kRight:
            return VK_RIGHT;
        case HotKey::kUp:
            return VK_UP;
        case HotKey::kDown:
            return VK_DOWN;
        default:
            return 0;
    }
}

// Held down, a key is reported once.
UINT ModifiersOf(unsigned modifiers) {
    UINT flags = MOD_NOREPEAT;
    flags |= (modifiers & HotKey::kCtrl) != 0 ? MOD_CONTROL : 0;
    flags |= (modifiers & HotKey::kAlt) != 0 ? MOD_ALT : 0;
    flags |= (modifiers & HotKey::kShift) != 0 ? MOD_SHIFT : 0;
    flags |= (modifiers & HotKey::kWin) != 0 ? MOD_WIN : 0;
    return flags;
}

}  // namespace

std::optional<std::filesystem::path> CurrentRecordPath() {
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    for (const std::filesystem::path& root : RecordRoots()) {
        if (Files::Exists(root)) {
            return root / L"KOV调节显示器" / (L"baseline-" + std::to_wstring(session) + L".record");
        }
    }
    return std::nullopt;
}

Win32PlatformServices::Win32PlatformServices(std::wstring_view mutexName) : mutexName_(mutexName) {}

Win32PlatformServices::~Win32PlatformServices() {
    for (std::size_t id = 0; id < hotKeyIds_; ++id) {
        UnregisterHotKey(nullptr, static_cast<int>(id));
    }
}

bool Win32PlatformServices::AnotherInstanceRunning() {
    if (instanceMutex_) {
        return false;
    }
    UniqueKernelHandle mutex(CreateMutexW(nullptr, FALSE, mutexName_.c_str()));
    // Read at once: any later call may overwrite the creation's status.
    const DWORD status = GetLastError();
    if (!mutex) {
        // A mutex made by another instance under other rights cannot be
        // opened, but it still exists. Any other failure tells nothing, and
        // the program runs rather than refusing on a guess.
        return status == ERROR_ACCESS_DENIED;
    }
    if (status == ERROR_ALREADY_EXISTS) {
        return true;
    }
    instanceMutex_ = std::move(mutex);
    runMark_ = TakeRunMark(mutexName_ + L"-Run");
    return false;
}

void Win32PlatformServices::ShowNotice(std::wstring_view text, std::wstring_view title) {
    const std::wstring textZ(text);
    const std::wstring titleZ(title);
    MessageBoxW(nullptr, textZ.c_str(), titleZ.c_str(), MB_ICONINFORMATION | MB_OK);
}

// Called when the refused start's notice has been answered: this process
// is then the foreground one, which Windows lets give the foreground away.
void Win32PlatformServices::ShowRunningInstance() {
    const HWND window = FindWindowW(kMainWindowClassName, nullptr);
    if (window == nullptr) {
        return;
    }
    if (IsIconic(window) != FALSE) {
        ShowWindow(window, SW_RESTORE);
    }
    SetForegroundWindow(window);
}

std::filesystem::path Win32PlatformServices::ProgramFolder() {
    return std::filesystem::path(ModuleFileName(nullptr)).parent_path();
}

// Asked by making a file that the system deletes when it is closed: the one
// answer that takes in permissions, a read-only medium and a folder under
// Program Files (the manifest turns file virtualisation off) alike.
bool Win32PlatformServices::CanCreateFilesIn(const std::filesystem::path& folder) {
    const std::filesystem::path probe =
        folder / (L"kov-display-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                  std::to_wstring(GetTickCount64()) + L".tmp");
    const UniqueFileHandle file(CreateFileW(
        probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return static_cast<bool>(file);
}

// %APPDATA%\KOV调节显示器: the user's roaming application data.
std::filesystem::path Win32PlatformServices::UserSettingsFolder() {
    const std::filesystem::path appData = ShellFolder(CSIDL_APPDATA);
    return appData.empty() ? appData : appData / L"KOV调节显示器";
}

std::filesystem::path ShellFolder(int csidl) {
    std::wstring folder(MAX_PATH, L'\0');
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, folder.data()))) {
        return {};
    }
    return folder.c_str();
}

RecordStore* Win32PlatformServices::BaselineRecord() {
    return record_.Get();
}

void Win32PlatformServices::StartWatcher(std::uint32_t run) {
    LaunchWatcher(run, runMark_.Get());
}

std::wstring ModuleFileName(HMODULE module, std::size_t initialCapacity) {
    std::wstring name(std::max<std::size_t>(initialCapacity, 1), L'\0');
    for (;;) {
        const DWORD capacity = static_cast<DWORD>(
            std::min<std::size_t>(name.size(), std::numeric_limits<DWORD>::max()));
        const DWORD length = GetModuleFileNameW(module, name.data(), capacity);
        if (length == 0) {
            return {};
        }
        // A name that fills the whole buffer may have been cut short.
        if (length < capacity) {
            name.resize(length);
            return name;
        }
        if (name.size() >= kLongestPath) {
            return {};
        }
        name.resize(std::min(name.size() * 2, kLongestPath));
    }
}

// The running program makes its window once it has loaded; a start shortly
// before this one may still be loading. A window that does not answer
// within two seconds is taken to be hung.
bool Win32PlatformServices::HandOver(std::span<const std::byte> message) {
    using namespace std::chrono_literals;
    COPYDATASTRUCT data{kHandOverDataMark, static_cast<DWORD>(message.size()),
                        const_cast<std::byte*>(message.data())};
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    for (;;) {
        DWORD_PTR taken = FALSE;
        const HWND window = FindWindowW(kMainWindowClassName, nullptr);
        if (window != nullptr &&
            SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                                SMTO_ABORTIFHUNG | SMTO_BLOCK, 2000, &taken) != 0 &&
            taken == TRUE) {
            return true;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        Sleep(100);
    }
}

// A key another program has registered is skipped; the ids stay the keys'
// indexes all the same.
int Win32PlatformServices::GrabHotKeys(std::span<const HotKey> keys) {
    for (std::size_t index = 0; index < keys.size(); ++index) {
        RegisterHotKey(nullptr, static_cast<int>(index), ModifiersOf(keys[index].modifiers),
                       VirtualKeyOf(keys[index].key));
    }
    hotKeyIds_ = keys.size();
    return -1;
}
