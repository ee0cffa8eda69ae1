#include "RecordFile.h"

#include "Files.h"

std::optional<std::string> RecordFile::Read() {
    return Files::ReadFileBytes(path_, kMaxBytes);
}

bool RecordFile::Write(std::string_view bytes) {
    Files::CreateMissingFolders(path_.parent_path());
    return Files::ReplaceFile(path_, bytes, Files::Durability::Unflushed);
}

void RecordFile::Remove() {
    Files::RemoveFile(path_);
}

RecordStore* CurrentRecord::Get() {
    if (!file_) {
        if (const auto path = where_()) {
            file_.emplace(*path);
        }
    }
    return file_ ? &*file_ : nullptr;
}
