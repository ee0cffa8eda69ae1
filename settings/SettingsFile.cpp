#include "SettingsFile.h"

#include <filesystem>
#include <memory>
#include <string_view>

namespace SettingsFile {

namespace {

bool WriteAndCommit(PendingReplacement* pending, std::string_view bytes) {
    if (pending == nullptr) {
        return false;
    }
    if (FailWriteAfterBytes && *FailWriteAfterBytes <= bytes.size()) {
        pending->Write(bytes.substr(0, *FailWriteAfterBytes));
        return false;
    }
    return pending->Write(bytes) && pending->Commit();
}

}  // namespace

bool ReplaceFileBytes(const std::filesystem::path& path, std::string_view bytes) {
    return WriteAndCommit(BeginReplacement(path).get(), bytes);
}

bool CreateFileBytes(const std::filesystem::path& path, std::string_view bytes) {
    return WriteAndCommit(BeginCreation(path).get(), bytes);
}

}  // namespace SettingsFile
