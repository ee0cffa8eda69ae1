#include "Files.h"

#include <utility>

#include "FileReading.h"

namespace Files {

namespace {

class InPlaceRewrite final : public PendingFile {
public:
    InPlaceRewrite(std::filesystem::path target, Durability durability)
        : target_(std::move(target)), durability_(durability) {}

    bool Write(std::string_view bytes) override {
        bytes_.append(bytes);
        return true;
    }
    bool Commit() override { return RewriteInPlace(target_, bytes_, durability_); }

private:
    std::filesystem::path target_;
    Durability durability_;
    std::string bytes_;
};

}  // namespace

std::unique_ptr<PendingFile> BeginRewriteInPlace(const std::filesystem::path& target,
                                                 Durability durability) {
    return std::make_unique<InPlaceRewrite>(target, durability);
}

std::optional<std::string> ReadAll(
    std::size_t sizeHint, std::size_t maxBytes,
    const std::function<std::optional<std::size_t>(char*, std::size_t)>& readSome) {
    constexpr std::size_t kChunk = std::size_t{64} * 1024;
    std::string bytes;
    bytes.reserve(sizeHint + kChunk);
    for (;;) {
        const std::size_t used = bytes.size();
        bytes.resize(used + kChunk);
        const std::optional<std::size_t> got = readSome(bytes.data() + used, kChunk);
        if (!got) {
            return std::nullopt;
        }
        bytes.resize(used + *got);
        if (*got == 0) {
            return bytes;
        }
        if (bytes.size() > maxBytes) {
            return std::nullopt;
        }
    }
}

bool WriteAndCommit(std::unique_ptr<PendingFile> pending, std::string_view bytes) {
    return pending != nullptr && pending->Write(bytes) && pending->Commit();
}

bool ReplaceFile(const std::filesystem::path& path, std::string_view bytes, Durability durability) {
    return WriteAndCommit(BeginPendingFile(path, Placement::ReplaceTarget, durability), bytes);
}

}  // namespace Files
