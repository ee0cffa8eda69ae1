#include "SettingsFile.h"

namespace SettingsFile {

std::optional<std::string> ReadFileBytes(const std::filesystem::path& path) {
    return Files::ReadFileBytes(path, kMaxFileBytes);
}

std::unique_ptr<PendingFile> BeginCreation(const std::filesystem::path& path) {
    return Files::BeginPendingFile(path, Files::Placement::OnlyIfNameIsFree,
                                   Files::Durability::Flushed);
}

bool ReplaceFileBytes(const std::filesystem::path& path, std::string_view bytes) {
    return WriteAndCommit(BeginReplacement(path), bytes);
}

bool CreateFileBytes(const std::filesystem::path& path, std::string_view bytes) {
    return WriteAndCommit(BeginCreation(path), bytes);
}

}  // namespace SettingsFile
