#include "SettingsFile.h"

#include <filesystem>
#include <memory>
#include <string_view>

namespace SettingsFile {

bool ReplaceFileBytes(const std::filesystem::path& path, std::string_view bytes) {
    const std::unique_ptr<PendingReplacement> pending = BeginReplacement(path);
    if (!pending) {
        return false;
    }
    if (FailWriteAfterBytes && *FailWriteAfterBytes <= bytes.size()) {
        pending->Write(bytes.substr(0, *FailWriteAfterBytes));
        return false;
    }
    return pending->Write(bytes) && pending->Commit();
}

}  // namespace SettingsFile
