#include <windows.h>

#include <algorithm>
#include <limits>
#include <string>
#include <utility>

#include "FileReading.h"
#include "Files.h"
#include "Win32Handles.h"

namespace Files {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

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

// Attributes the new file takes over from the one it replaces.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// A virus scanner or an indexer that opens the new file the moment it is
// closed holds it for a few milliseconds; the rename is tried again for up
// to about half a second before it counts as failed.
bool MoveRetryingWhileHeld(const std::wstring& from, const std::wstring& to, DWORD flags) {
    constexpr int kAttempts = 25;
    constexpr DWORD kPauseMs = 20;
    for (int attempt = 1;; ++attempt) {
        if (MoveFileExW(from.c_str(), to.c_str(), flags)) {
            return true;
        }
        const DWORD error = GetLastError();
        const bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
                          error == ERROR_ACCESS_DENIED;
        if (!held || attempt == kAttempts) {
            return false;
        }
        Sleep(kPauseMs);
    }
}

// Errors by which a folder refuses a new entry or a rename, as against a
// failing disk: only these lead a ReplaceOrRewrite to rewrite in place.
bool IsRefusal(DWORD error) {
    return error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT ||
           error == ERROR_NOT_SAME_DEVICE;
}

class Win32PendingFile final : public PendingFile {
public:
    Win32PendingFile(std::wstring target, Placement placement, Durability durability)
        : target_(std::move(target)), placement_(placement), durability_(durability) {}

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
            const DWORD error = GetLastError();
            if (error != ERROR_FILE_EXISTS) {
                refused_ = IsRefusal(error);
                return false;
            }
        }
        return false;
    }

    // Whether the folder refused the temporary file.
    bool Refused() const { return refused_; }

    bool Write(std::string_view bytes) override { return WriteAll(file_.Get(), bytes); }

    bool Commit() override {
        const bool flushed =
            durability_ == Durability::Unflushed || FlushFileBuffers(file_.Get()) != FALSE;
        if (!flushed || !CloseReportingErrors(file_)) {
            return false;
        }
        const bool replace = placement_ != Placement::OnlyIfNameIsFree;
        const DWORD old = replace ? GetFileAttributesW(target_.c_str()) : INVALID_FILE_ATTRIBUTES;
        if (old != INVALID_FILE_ATTRIBUTES && (old & kKeptAttributes) != 0) {
            SetFileAttributesW(temporary_.c_str(), old & kKeptAttributes);
        }
        const DWORD flags = (replace ? MOVEFILE_REPLACE_EXISTING : 0) |
                            (durability_ == Durability::Flushed ? MOVEFILE_WRITE_THROUGH : 0);
        if (!MoveRetryingWhileHeld(temporary_, target_, flags)) {
            return placement_ == Placement::ReplaceOrRewrite && IsRefusal(GetLastError()) &&
                   RewriteFromTemporary();
        }
        temporary_.clear();
        return true;
    }

private:
    // The rename was refused: the target takes the content in place.
    bool RewriteFromTemporary() const {
        const std::optional<std::string> bytes =
            ReadFileBytes(temporary_, std::numeric_limits<std::size_t>::max());
        return bytes && RewriteInPlace(target_, *bytes, durability_);
    }

    std::wstring target_;
    Placement placement_;
    Durability durability_;
    std::wstring temporary_;
    bool refused_ = false;
    UniqueFileHandle file_;
};

}  // namespace

// A folder, a device or a pipe is not read.
std::optional<std::string> ReadFileBytes(const std::filesystem::path& path, std::size_t maxBytes) {
    const UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || GetFileType(file.Get()) != FILE_TYPE_DISK || !GetFileSizeEx(file.Get(), &size) ||
        static_cast<unsigned long long>(size.QuadPart) > maxBytes) {
        return std::nullopt;
    }
    return ReadAll(static_cast<std::size_t>(size.QuadPart), maxBytes,
                   [&file](char* buffer, std::size_t size) -> std::optional<std::size_t> {
                       DWORD got = 0;
                       return ReadFile(file.Get(), buffer, static_cast<DWORD>(size), &got, nullptr)
                                  ? std::optional<std::size_t>(got)
                                  : std::nullopt;
                   });
}

std::unique_ptr<PendingFile> BeginPendingFile(const std::filesystem::path& target,
                                              Placement placement, Durability durability) {
    auto pending = std::make_unique<Win32PendingFile>(target.wstring(), placement, durability);
    if (!pending->CreateTemporary()) {
        if (placement == Placement::ReplaceOrRewrite && pending->Refused()) {
            return BeginRewriteInPlace(target, durability);
        }
        return nullptr;
    }
    return pending;
}

// Opened without sharing writes, so no other writer interleaves; a device
// or a pipe is not written.
bool RewriteInPlace(const std::filesystem::path& path, std::string_view bytes,
                    Durability durability) {
    UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && GetFileType(file.Get()) == FILE_TYPE_DISK && SetEndOfFile(file.Get()) &&
           WriteAll(file.Get(), bytes) &&
           (durability == Durability::Unflushed || FlushFileBuffers(file.Get())) &&
           CloseReportingErrors(file);
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

void RemoveFile(const std::filesystem::path& path) {
    DeleteFileW(path.c_str());
}

}  // namespace Files
