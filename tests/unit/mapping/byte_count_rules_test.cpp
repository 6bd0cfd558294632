#include "core/mapping/byte_count_rules.h"

#include <gtest/gtest.h>

using namespace veltrane;

namespace {

// The three rules agree on some counts and part on others; each column is what its side has always
// written for the same bits.
TEST(ByteCountRules, DifferOnPurpose) {
    struct Case {
        std::int64_t firstBit;
        std::int64_t bits;
        std::int64_t mapped;
        std::int64_t completeness;
        std::int64_t ethernetDownload;
    };
    const Case cases[] = {
        {0, 0, 0, 0, 1},    // no bits: only the download rule counts a byte
        {0, 1, 1, 1, 1},
        {0, 7, 1, 1, 1},
        {0, 8, 1, 1, 2},    // a whole byte: the download rule adds one
        {0, 9, 2, 2, 2},
        {0, 16, 2, 2, 3},
        {7, 2, 2, 1, 1},    // only the mapped count sees the first bit
        {3, 8, 2, 1, 2},
        {0, -1, 0, 0, 1},   // negative counts stay as they always came out
        {0, -9, 0, -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "bit " << c.firstBit << ", " << c.bits << " bits");
        EXPECT_EQ(mappedByteCount(c.firstBit, c.bits), c.mapped);
        EXPECT_EQ(completenessByteCount(c.bits), c.completeness);
        EXPECT_EQ(ethernetDownloadByteCount(c.bits), c.ethernetDownload);
    }
}

}  // namespace
