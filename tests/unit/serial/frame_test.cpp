#include "core/link/serial/serial_frame.h"

#include "support/hex_bytes.h"

#include <gtest/gtest.h>

using namespace veltrane;
using namespace veltrane::serial;
using veltrane::testing::hexBytes;

TEST(SerialFrame, EncodesCodeLengthDataAndChecksum) {
    EXPECT_EQ((Frame{0x01, {}}.encode()), hexBytes("01 00 01"));
    EXPECT_EQ((Frame{0x14, hexBytes("01 55 AA")}.encode()), hexBytes("14 03 01 55 AA 17"));
    // The checksum wraps modulo 256.
    EXPECT_EQ((Frame{0xFF, hexBytes("FF")}.encode()), hexBytes("FF 01 FF FF"));
}

TEST(SerialFrame, DecodesOnlyCompleteFramesWithMatchingChecksum) {
    struct Case {
        const char* bytes;
        bool ok;
    } cases[] = {
        {"90 02 03 00 95", true},
        {"90 02 03 00 95 EE EE", true}, // what follows the frame is not part of it
        {"90 02 03 00 96", false},
        {"90 02 03 00", false},
        {"10 00 10", true},
        {"10 00 11", false},
        {"10", false},
        {"", false},
    };
    for (const Case& c : cases) {
        const auto frame = Frame::decode(hexBytes(c.bytes));
        EXPECT_EQ(frame.has_value(), c.ok) << c.bytes;
    }
    const auto negative = Frame::decode(hexBytes("90 02 03 00 95"));
    ASSERT_TRUE(negative);
    EXPECT_EQ(negative->code, 0x90);
    EXPECT_EQ(negative->data, hexBytes("03 00"));
}

TEST(SerialFrame, TellsWhenAFrameHasArrived) {
    const auto whole = hexBytes("01 08 02 03 05 00 00 00 00 00 13");
    for (std::size_t size = 0; size < whole.size(); ++size)
        EXPECT_EQ(completeFrameLength(ByteView(whole).first(size)), 0u) << size;
    EXPECT_EQ(completeFrameLength(whole), whole.size());
    auto longer = whole;
    longer.push_back(0x42);
    EXPECT_EQ(completeFrameLength(longer), whole.size());
    // n = 255 needs 258 bytes.
    std::vector<std::uint8_t> big(257, 0);
    big[1] = 0xFF;
    EXPECT_EQ(completeFrameLength(big), 0u);
    big.push_back(0);
    EXPECT_EQ(completeFrameLength(big), 258u);
}
