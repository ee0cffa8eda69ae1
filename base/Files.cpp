#include "Files.h"

#include <utility>

namespace Files {

bool WriteAndCommit(std::unique_ptr<PendingFile> pending, std::string_view bytes) {
    return pending != nullptr && pending->Write(bytes) && pending->Commit();
}

bool ReplaceFile(const std::filesystem::path& path, std::string_view bytes, Durability durability) {
    return WriteAndCommit(BeginPendingFile(path, Placement::ReplaceTarget, durability), bytes);
}

}  // namespace Files
