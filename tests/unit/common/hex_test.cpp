#include "core/common/hex.h"

#include <gtest/gtest.h>

using namespace veltrane;

namespace {

TEST(Hex, DigitValues) {
    const std::pair<char, int> cases[] = {{'0', 0}, {'9', 9}, {'a', 10}, {'F', 15}, {'g', -1}, {' ', -1}, {'x', -1}};
    for (const auto& [c, value] : cases)
        EXPECT_EQ(hexDigitValue(c), value) << c;
}

TEST(Hex, BytesAsText) {
    const Bytes bytes{0x00, 0x1A, 0xFF};
    EXPECT_EQ(hexBytesText(bytes), "001aff");
    EXPECT_EQ(hexBytesText(bytes, "-"), "00-1a-ff");
    EXPECT_EQ(hexBytesText(bytes, " ", SeparatorAfterLast::Yes), "00 1a ff ");
    EXPECT_EQ(hexBytesText({}, " ", SeparatorAfterLast::Yes), "");
    std::string upper;
    appendHexByte(upper, 0xAB, HexCase::Upper);
    EXPECT_EQ(upper, "AB");
}

TEST(Hex, TextAsBytesTakesDigitPairsOnly) {
    EXPECT_EQ(bytesFromHexText("001aFF"), (Bytes{0x00, 0x1A, 0xFF}));
    EXPECT_EQ(bytesFromHexText(""), Bytes{});
    for (const char* bad : {"0", "0g", "00 1a", "0x00"})
        EXPECT_FALSE(bytesFromHexText(bad)) << bad;
}

TEST(Hex, NumbersWithoutLeadingZeros) {
    EXPECT_EQ(hexNumberText(0), "0");
    EXPECT_EQ(hexNumberText(0x1EB), "1eb");
    EXPECT_EQ(hexNumberText(0x41EB, HexCase::Upper), "41EB");
    EXPECT_EQ(hexNumberText(0xFFFFFFFFFFFFFFFFu), "ffffffffffffffff");
}

}  // namespace
