#include "WatcherLaunch.h"

#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

#include "Watcher.h"
#include "Win32Handles.h"
#include "Win32PlatformServices.h"

namespace {

using AttributeList =
    UniquePointerHandle<_PROC_THREAD_ATTRIBUTE_LIST, &DeleteProcThreadAttributeList>;

// The handle must be a process's, and the wait must end with the process's
// end: an object that never ends the wait, or a failed one, would leave a
// hidden process waiting forever or put the screen back under a running
// program.
class ProcessWatcherPlatform final : public WatcherPlatform {
public:
    explicit ProcessWatcherPlatform(HANDLE program) : program_(program) {}

    bool WaitForProgramEnd() override {
        return GetProcessId(program_.Get()) != 0 &&
               WaitForSingleObject(program_.Get(), INFINITE) == WAIT_OBJECT_0;
    }
    std::optional<std::filesystem::path> RecordPath() override { return CurrentRecordPath(); }

private:
    UniqueKernelHandle program_;
};

}  // namespace

void LaunchWatcher(std::uint32_t run, HANDLE heldObject) {
    HANDLE self = nullptr;
    // Waiting needs SYNCHRONIZE; telling that the handle is a process's
    // (GetProcessId) needs the limited query right.
    if (DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self,
                        SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, TRUE, 0) == FALSE) {
        return;
    }
    const UniqueKernelHandle inheritedSelf(self);
    std::vector<HANDLE> inherited{self};
    HANDLE held = nullptr;
    if (heldObject != nullptr &&
        DuplicateHandle(GetCurrentProcess(), heldObject, GetCurrentProcess(), &held, 0, TRUE,
                        DUPLICATE_SAME_ACCESS) != FALSE) {
        inherited.push_back(held);
    }
    const UniqueKernelHandle inheritedHeld(held);
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    std::vector<std::byte> storage(size);
    auto* const listData = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage.data());
    if (InitializeProcThreadAttributeList(listData, 1, 0, &size) == FALSE) {
        return;
    }
    const AttributeList list(listData);
    if (UpdateProcThreadAttribute(list.Get(), 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST,
                                  inherited.data(), inherited.size() * sizeof(HANDLE), nullptr,
                                  nullptr) == FALSE) {
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

int RunWatcherFromCommandLine(std::wstring_view arguments) {
    const std::wstring text(arguments);
    wchar_t* end = nullptr;
    const unsigned long handle = std::wcstoul(text.c_str(), &end, 10);
    const auto run = static_cast<std::uint32_t>(std::wcstoul(end, &end, 10));
    if (*end != L'\0' || handle == 0) {
        return 2;
    }
    ProcessWatcherPlatform platform(ULongToHandle(handle));
    return RunWatcher(run, platform, &MakeScreenGammaOutputs);
}
