#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "SettingsFile.h"
#include "Win32Handles.h"

namespace SettingsFile {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Opens an existing disk file; a folder, a device or a pipe gives a closed
// handle.
UniqueFileHandle OpenDiskFile(const std::filesystem::path& path, DWORD access) {
    UniqueFileHandle file(CreateFileW(path.c_str(), access, kShareAll, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file && GetFileType(file.Get()) != FILE_TYPE_DISK) {
        file.Reset();
    }
    return file;
}

// Closes now and reports whether the close succeeded.
bool CloseReportingErrors(UniqueFileHandle& file) {
    return CloseHandle(file.Release()) != FALSE;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
    constexpr std::size_t kMaxChunk = 1 << 30;
    while (!bytes.empty()) {
        const auto chunk = static_cast<DWORD>(std::min(bytes.size(), kMaxChunk));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

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

// Attributes the new file takes over from the old one; read-only cannot
// occur here, since a read-only file is refused before.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

class Win32PendingFile final : public PendingFile {
public:
    // With replaceExisting false, Commit fails rather than take the place of
    // whatever stands at target by then.
    Win32PendingFile(std::wstring target, DWORD attributes, bool replaceExisting)
        : target_(std::move(target)), attributes_(attributes), replaceExisting_(replaceExisting) {}

    ~Win32PendingFile() override {
        file_.Reset();
        if (!temporary_.empty()) {
            DeleteFileW(temporary_.c_str());
        }
    }
    Win32PendingFile(const Win32PendingFile&) = delete;
    Win32PendingFile& operator=(const Win32PendingFile&) = delete;
    Win32PendingFile(Win32PendingFile&&) = delete;
    Win32PendingFile& operator=(Win32PendingFile&&) = delete;

    // Creates a new, uniquely named file beside the target.
    bool CreateTemporary() {
        constexpr int kAttempts = 100;
        const std::wstring stem = target_ + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                  std::to_wstring(GetTickCount64()) + L"-";
        for (int attempt = 0; attempt < kAttempts; ++attempt) {
            std::wstring name = stem + std::to_wstring(attempt) + L".tmp";
            file_ = UniqueFileHandle(CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr,
                                                 CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
            if (file_) {
                temporary_ = std::move(name);
                return true;
            }
            if (GetLastError() != ERROR_FILE_EXISTS) {
                return false;
            }
        }
        return false;
    }

    bool Write(std::string_view bytes) override { return WriteAll(file_.Get(), bytes); }

    bool Commit() override {
        if (!FlushFileBuffers(file_.Get()) || !CloseReportingErrors(file_)) {
            return false;
        }
        if ((attributes_ & kKeptAttributes) != 0) {
            SetFileAttributesW(temporary_.c_str(), attributes_ & kKeptAttributes);
        }
        const DWORD replace = replaceExisting_ ? MOVEFILE_REPLACE_EXISTING : 0;
        if (!MoveFileExW(temporary_.c_str(), target_.c_str(), replace | MOVEFILE_WRITE_THROUGH)) {
            return false;
        }
        temporary_.clear();
        return true;
    }

private:
    std::wstring target_;
    std::wstring temporary_;
    UniqueFileHandle file_;
    DWORD attributes_;
    bool replaceExisting_;
};

}  // namespace

std::optional<std::string> ReadFileBytes(const std::filesystem::path& path) {
    const UniqueFileHandle file = OpenDiskFile(path, GENERIC_READ);
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.Get(), &size) ||
        static_cast<unsigned long long>(size.QuadPart) > kMaxFileBytes) {
        return std::nullopt;
    }
    constexpr DWORD kChunk = 64 * 1024;
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(size.QuadPart));
    for (;;) {
        const std::size_t used = bytes.size();
        bytes.resize(used + kChunk);
        DWORD got = 0;
        if (!ReadFile(file.Get(), bytes.data() + used, kChunk, &got, nullptr)) {
            return std::nullopt;
        }
        bytes.resize(used + got);
        if (got == 0) {
            return bytes;
        }
        if (bytes.size() > kMaxFileBytes) {
            return std::nullopt;
        }
    }
}

// Opening the file for writing is the test for a lock held by another
// program and a denied permission; the read-only attribute is checked as
// well, since an administrator's open may not heed it everywhere. The
// handle is closed again before the temporary file is made.
std::unique_ptr<PendingFile> BeginReplacement(const std::filesystem::path& path) {
    std::optional<std::wstring> target;
    DWORD attributes = 0;
    {
        const UniqueFileHandle check = OpenDiskFile(path, GENERIC_WRITE);
        BY_HANDLE_FILE_INFORMATION information{};
        if (!check || !GetFileInformationByHandle(check.Get(), &information) ||
            (information.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
            return nullptr;
        }
        attributes = information.dwFileAttributes;
        target = FinalPath(check.Get());
    }
    if (!target) {
        return nullptr;
    }
    auto pending = std::make_unique<Win32PendingFile>(std::move(*target), attributes, true);
    if (!pending->CreateTemporary()) {
        return nullptr;
    }
    return pending;
}

std::unique_ptr<PendingFile> BeginCreation(const std::filesystem::path& path) {
    auto pending = std::make_unique<Win32PendingFile>(path.wstring(), 0, false);
    if (!pending->CreateTemporary()) {
        return nullptr;
    }
    return pending;
}

bool Exists(const std::filesystem::path& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A new folder takes the rights of the one it is made in: in the user's
// application data, the user's alone.
void CreateMissingFolders(const std::filesystem::path& folder) {
    if (folder.empty() || Exists(folder)) {
        return;
    }
    CreateMissingFolders(folder.parent_path());
    CreateDirectoryW(folder.c_str(), nullptr);
}

}  // namespace SettingsFile
