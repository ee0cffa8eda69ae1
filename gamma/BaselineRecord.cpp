#include "BaselineRecord.h"

#include <algorithm>

namespace {

constexpr std::string_view kTag = "KOVB";
constexpr std::uint32_t kVersion = 2;

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

std::uint64_t TableHash(std::span<const RampEntry> table) {
    constexpr std::uint64_t kFnvOffset = 14695981039346656037ULL;
    constexpr std::uint64_t kFnvPrime = 1099511628211ULL;
    std::uint64_t hash = kFnvOffset;
    for (const RampEntry entry : table) {
        hash = (hash ^ (entry >> 8U)) * kFnvPrime;
    }
    return hash;
}

std::string EncodeRecord(const BaselineRecord& record) {
    std::string bytes(kTag);
    Put(bytes, kVersion);
    Put(bytes, record.owner);
    Put(bytes, static_cast<std::uint32_t>(record.outputs.size()));
    for (const RecordedOutput& output : record.outputs) {
        Put(bytes, static_cast<std::uint32_t>(output.id.size()));
        bytes += output.id;
        Put(bytes, static_cast<std::uint32_t>(output.base.size() / kRampChannels));
        Put(bytes, output.setBefore);
        Put(bytes, output.lastSet);
        for (const RampEntry entry : output.base) {
            Put(bytes, entry);
        }
    }
    return bytes;
}

std::optional<BaselineRecord> DecodeRecord(std::string_view bytes) {
    FieldReader fields(bytes);
    if (fields.Bytes(kTag.size()) != kTag || fields.Take<std::uint32_t>() != kVersion) {
        return std::nullopt;
    }
    BaselineRecord record;
    record.owner = fields.Take<std::uint32_t>();
    const auto count = fields.Take<std::uint32_t>();
    for (std::uint32_t i = 0; i < count && !fields.Failed(); ++i) {
        RecordedOutput& output = record.outputs.emplace_back();
        output.id = fields.Bytes(fields.Take<std::uint32_t>());
        const std::size_t entries = kRampChannels * fields.Take<std::uint32_t>();
        output.setBefore = fields.Take<std::uint64_t>();
        output.lastSet = fields.Take<std::uint64_t>();
        FieldReader table(fields.Bytes(entries * sizeof(RampEntry)));
        while (output.base.size() < entries && !fields.Failed()) {
            output.base.push_back(table.Take<RampEntry>());
        }
    }
    if (!fields.TakenWhole()) {
        return std::nullopt;
    }
    return record;
}

const GammaTable* DeadRunBase(const BaselineRecord& record, const std::string& id,
                              const GammaTable& shown) {
    const auto found = std::ranges::find(record.outputs, id, &RecordedOutput::id);
    if (found == record.outputs.end() || found->base.size() != shown.size()) {
        return nullptr;
    }
    const std::uint64_t hash = TableHash(shown);
    if (hash != found->setBefore && hash != found->lastSet) {
        return nullptr;
    }
    return &found->base;
}
