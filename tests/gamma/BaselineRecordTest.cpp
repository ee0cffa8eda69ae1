#include <gtest/gtest.h>

#include <string>

#include "BaselineRecord.h"
#include "GammaDevice.h"

// A changed tag, version or length, trailing bytes, or a record cut short
// anywhere is no record.
TEST(BaselineRecord, ReadsBackWhatWasWrittenAndDiscardsAnythingElse) {
    const BaselineRecord record{
        7, {{"DUMMY0", IdentityTable(16), 41, 42}, {"二", GammaTable(768, 9000), 8, 9}}};
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
