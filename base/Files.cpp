#include "Files.h"

#include <utility>

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

bool WriteAndCommit(std::unique_ptr<PendingFile> pending, std::string_view bytes) {
    return pending != nullptr && pending->Write(bytes) && pending->Commit();
}

bool ReplaceFile(const std::filesystem::path& path, std::string_view bytes, Durability durability) {
    return WriteAndCommit(BeginPendingFile(path, Placement::ReplaceTarget, durability), bytes);
}

}  // namespace Files
