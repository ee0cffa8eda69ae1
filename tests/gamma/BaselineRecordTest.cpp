#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "BaselineRecord.h"
#include "GammaDevice.h"

namespace {

std::string Le32(std::uint32_t value) {
    return {static_cast<char>(value), static_cast<char>(value >> 8), static_cast<char>(value >> 16),
            static_cast<char>(value >> 24)};
}

// One output's record: a version, owner 7, "A" with a table said to have
// `levels` entries per channel, of which at most two are there, all 0x0101;
// the older version also held two hashes.
std::string Record(std::uint32_t version, std::uint32_t levels, std::uint32_t count = 1) {
    std::string bytes =
        "KOVB" + Le32(version) + Le32(7) + Le32(count) + Le32(1) + "A" + Le32(levels);
    bytes +=
        std::string(version == 2 ? 16 : 0, '\x2a') + std::string(6 * std::min(levels, 2U), '\1');
    return bytes;
}

}  // namespace

// A changed tag, version or length, trailing bytes, or a record cut short
// anywhere is no record.
TEST(BaselineRecord, ReadsBackWhatWasWrittenAndDiscardsAnythingElse) {
    const BaselineRecord record{7, {{"DUMMY0", IdentityTable(16)}, {"二", GammaTable(768, 9000)}}};
    const std::string bytes = EncodeRecord(record);
    EXPECT_EQ(DecodeRecord(bytes), record);
    for (const std::string& bad :
         {'X' + bytes.substr(1), bytes.substr(0, 4) + '\1' + bytes.substr(5),
          bytes.substr(0, 12) + '\3' + bytes.substr(13), bytes + '\0'}) {
        EXPECT_FALSE(DecodeRecord(bad)) << bad.size();
    }
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        EXPECT_FALSE(DecodeRecord(bytes.substr(0, size))) << size;
    }
}

// The older version reads without its hashes; sizes no display has, and
// counts beyond the bytes, are damage, found before any table is made.
TEST(BaselineRecord, ReadsTheOlderVersionAndRefusesImpossibleSizes) {
    const BaselineRecord expected{7, {{"A", GammaTable(6, 0x0101)}}};
    EXPECT_EQ(DecodeRecord(Record(2, 2)), expected);
    EXPECT_EQ(DecodeRecord(Record(3, 2)), expected);
    for (const std::string& bad : {Record(3, 1), Record(3, 65537), Record(3, 0xFFFFFFFF),
                                   Record(3, 2, 0xFFFFFFFF), Record(1, 2)}) {
        EXPECT_FALSE(DecodeRecord(bad)) << bad.size();
    }
}
