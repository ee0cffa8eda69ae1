#include "SettingsFile.h"

#include <filesystem>
#include <memory>
#include <string_view>
#include <utility>

namespace SettingsFile {

bool WriteAndCommit(std::unique_ptr<PendingFile> pending, std::string_view bytes) {
    return pending != nullptr && pending->Write(bytes) && pending->Commit();
}

bool ReplaceFileBytes(const std::filesystem::path& path, std::string_view bytes) {
    return WriteAndCommit(BeginReplacement(path), bytes);
}

bool CreateFileBytes(const std::filesystem::path& path, std::string_view bytes) {
    return WriteAndCommit(BeginCreation(path), bytes);
}

}  // namespace SettingsFile
