#include "Watcher.h"

#include <shlobj.h>

#include <cwchar>
#include <utility>
#include <vector>

#include "GammaDevice.h"
#include "SettingsFile.h"
#include "Win32Handles.h"
#include "Win32PlatformServices.h"

namespace {

// The user's local application data folder, or the temp folder; empty when
// there is neither.
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

using AttributeList =
    UniquePointerHandle<_PROC_THREAD_ATTRIBUTE_LIST, &DeleteProcThreadAttributeList>;

}  // namespace

// baseline-<session id>.record in a folder KOV调节显示器 of the first root
// there is. The folder is made by the first write, so a run that changes
// nothing leaves nothing behind.
std::optional<std::filesystem::path> CurrentRecordPath() {
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    for (const std::filesystem::path& root : RecordRoots()) {
        if (SettingsFile::Exists(root)) {
            return root / L"KOV调节显示器" / (L"baseline-" + std::to_wstring(session) + L".record");
        }
    }
    return std::nullopt;
}

RecordFile::RecordFile(std::filesystem::path path)
    : path_(std::move(path)), temporary_(path_.native() + L".tmp") {}

std::optional<std::string> RecordFile::Read() {
    return SettingsFile::ReadFileBytes(path_);
}

bool RecordFile::Write(std::string_view bytes) {
    SettingsFile::CreateMissingFolders(path_.parent_path());
    UniqueFileHandle file(CreateFileW(temporary_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file &&
           WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) != FALSE &&
           written == bytes.size() && CloseHandle(file.Release()) != FALSE &&
           MoveFileExW(temporary_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

void RecordFile::Remove() {
    DeleteFileW(path_.c_str());
}

void StartWatcher(std::uint32_t run) {
    HANDLE self = nullptr;
    if (DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self,
                        SYNCHRONIZE, TRUE, 0) == FALSE) {
        return;
    }
    const UniqueKernelHandle inherited(self);
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    std::vector<std::byte> storage(size);
    auto* const listData = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage.data());
    if (InitializeProcThreadAttributeList(listData, 1, 0, &size) == FALSE) {
        return;
    }
    const AttributeList list(listData);
    if (UpdateProcThreadAttribute(list.Get(), 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, &self,
                                  sizeof self, nullptr, nullptr) == FALSE) {
        return;
    }
    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_FORCEOFFFEEDBACK;
    startup.lpAttributeList = list.Get();
    const std::wstring program = ModuleFileName(nullptr);
    std::wstring command = L"\"" + program + L"\" " + std::wstring(kWatchSwitch) + L" " +
                           std::to_wstring(HandleToULong(self)) + L" " + std::to_wstring(run);
    PROCESS_INFORMATION started{};
    if (CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, TRUE,
                       EXTENDED_STARTUPINFO_PRESENT, nullptr, nullptr, &startup.StartupInfo,
                       &started) != FALSE) {
        const UniqueKernelHandle process(started.hProcess);
        const UniqueKernelHandle thread(started.hThread);
    }
}

int RunWatcher(std::wstring_view arguments, GammaOutputs& outputs) {
    const std::wstring text(arguments);
    wchar_t* end = nullptr;
    const UniqueKernelHandle program(ULongToHandle(std::wcstoul(text.c_str(), &end, 10)));
    const auto run = static_cast<std::uint32_t>(std::wcstoul(end, &end, 10));
    if (*end != L'\0' || !program) {
        return 2;
    }
    WaitForSingleObject(program.Get(), INFINITE);
    const auto path = CurrentRecordPath();
    if (!path) {
        return 0;
    }
    RecordFile record(*path);
    GammaDevice screen(outputs);
    screen.KeepRecordIn(&record, run);
    screen.PutBackAfterRun();
    return 0;
}
