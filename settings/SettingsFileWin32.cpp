#include <windows.h>

#include <optional>
#include <string>

#include "SettingsFile.h"
#include "Win32Handles.h"

namespace SettingsFile {

namespace {

// The path of the file an open handle refers to, links resolved.
std::optional<std::wstring> FinalPath(HANDLE file) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetFinalPathNameByHandleW(file, path.data(), static_cast<DWORD>(path.size()),
                                      FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) {
            return std::nullopt;
        }
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(length);
    }
}

}  // namespace

// Opening the file for writing is the test for a lock held by another
// program and a denied permission; the read-only attribute is checked as
// well, since an administrator's open may not heed it everywhere. The
// handle is closed again before the temporary file is made.
std::unique_ptr<PendingFile> BeginReplacement(const std::filesystem::path& path) {
    std::optional<std::wstring> target;
    {
        const UniqueFileHandle check(CreateFileW(
            path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        BY_HANDLE_FILE_INFORMATION information{};
        if (!check || GetFileType(check.Get()) != FILE_TYPE_DISK ||
            !GetFileInformationByHandle(check.Get(), &information) ||
            (information.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
            return nullptr;
        }
        target = FinalPath(check.Get());
    }
    if (!target) {
        return nullptr;
    }
    return Files::BeginPendingFile(*target, Files::Placement::ReplaceOrRewrite,
                                   Files::Durability::Flushed);
}

}  // namespace SettingsFile
