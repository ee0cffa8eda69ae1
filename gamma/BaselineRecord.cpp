#include "BaselineRecord.h"

#include <utility>

namespace {

constexpr std::string_view kTag = "KOVB";
constexpr std::uint32_t kVersion = 3;
// The version before, which also held hashes of the last tables set.
constexpr std::uint32_t kVersionWithHashes = 2;
// The sizes of gamma tables that displays have.
constexpr std::uint32_t kMinLevels = 2;
constexpr std::uint32_t kMaxLevels = 65536;

template <typename Number>
void Put(std::string& bytes, Number value) {
    for (std::size_t i = 0; i < sizeof(Number); ++i) {
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFFU));
    }
}

// Takes the record's fields in order. A field that runs past the end gives
// zero or nothing and marks the whole reading failed.
class FieldReader {
public:
    explicit FieldReader(std::string_view bytes) : rest_(bytes) {}

    std::string_view Bytes(std::size_t count) {
        if (count > rest_.size()) {
            failed_ = true;
            rest_ = {};
            return {};
        }
        const std::string_view taken = rest_.substr(0, count);
        rest_.remove_prefix(count);
        return taken;
    }

    template <typename Number>
    Number Take() {
        const std::string_view bytes = Bytes(sizeof(Number));
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            value |= std::uint64_t{static_cast<unsigned char>(bytes[i])} << (8 * i);
        }
        return static_cast<Number>(value);
    }

    bool TakenWhole() const { return !failed_ && rest_.empty(); }
    bool Failed() const { return failed_; }

private:
    std::string_view rest_;
    bool failed_ = false;
};

}  // namespace

std::string EncodeRecord(const BaselineRecord& record) {
    std::string bytes(kTag);
    Put(bytes, kVersion);
    Put(bytes, record.owner);
    Put(bytes, static_cast<std::uint32_t>(record.outputs.size()));
    for (const RecordedOutput& output : record.outputs) {
        Put(bytes, static_cast<std::uint32_t>(output.id.size()));
        bytes += output.id;
        Put(bytes, static_cast<std::uint32_t>(output.base.size() / kRampChannels));
        for (const RampEntry entry : output.base) {
            Put(bytes, entry);
        }
    }
    return bytes;
}

std::optional<BaselineRecord> DecodeRecord(std::string_view bytes) {
    FieldReader fields(bytes);
    if (fields.Bytes(kTag.size()) != kTag) {
        return std::nullopt;
    }
    const auto version = fields.Take<std::uint32_t>();
    if (version != kVersion && version != kVersionWithHashes) {
        return std::nullopt;
    }
    BaselineRecord record;
    record.owner = fields.Take<std::uint32_t>();
    const auto count = fields.Take<std::uint32_t>();
    for (std::uint32_t i = 0; i < count && !fields.Failed(); ++i) {
        std::string id(fields.Bytes(fields.Take<std::uint32_t>()));
        const auto levels = fields.Take<std::uint32_t>();
        if (version == kVersionWithHashes) {
            fields.Bytes(2 * sizeof(std::uint64_t));
        }
        FieldReader table(fields.Bytes(kRampChannels * levels * sizeof(RampEntry)));
        if (levels < kMinLevels || levels > kMaxLevels || fields.Failed()) {
            return std::nullopt;
        }
        GammaTable base(kRampChannels * levels);
        for (RampEntry& entry : base) {
            entry = table.Take<RampEntry>();
        }
        record.outputs.push_back({std::move(id), std::move(base)});
    }
    if (!fields.TakenWhole()) {
        return std::nullopt;
    }
    return record;
}
