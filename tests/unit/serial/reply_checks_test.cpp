#include "core/link/serial/reply_checks.h"

#include "support/hex_bytes.h"

#include <gtest/gtest.h>

using namespace veltrane;
using namespace veltrane::serial;
using veltrane::testing::hexBytes;

namespace {
// The frame of the hex data with its n and checksum.
Bytes frame(std::uint8_t code, const char* data) {
    return Frame{code, hexBytes(data)}.encode();
}
} // namespace

TEST(DownloadReplyCheck, AcceptsWellFormedRepliesOnly) {
    const struct {
        const char* reply;
        std::uint8_t code;
    } cases[] = {
        {"01 08 02 03 05 00 00 00 00 00 13", 0x01},
        {"01 08 02 03 05 00 00 00 00 00 14", 0x00},
        {"01 07 02 03 05 00 00 00 00 12", 0x00},
        {"01 08 02 03 05", 0x00},
        {"10 00 10", 0x10},
        {"10 00 11", 0x00},
        {"03 00 03", 0x03},
        {"14 00 14", 0x14},
        {"21 00 21", 0x21},
        {"30 00 30", 0x30},
        {"03 01 00 04", 0x00},
        {"90 02 03 00 95", 0x90},
        {"90 02 03 00 96", 0x00},
        {"83 02 01 00 86", 0x83},
        {"A1 02 01 00 A4", 0xA1},
        {"B0 02 01 00 B3", 0xB0},
        {"81 02 01 00 84", 0x81},
        {"94 02 01 00 97", 0x00}, // a refused clear is not a reply the download knows
        {"22 00 22", 0x00},
        {"10 00", 0x00},
        {"", 0x00},
    };
    for (const auto& c : cases)
        EXPECT_EQ(checkDownloadReply(hexBytes(c.reply)).code, c.code) << c.reply;

    const DownloadReply info = checkDownloadReply(hexBytes("01 08 02 03 05 00 00 00 00 00 13"));
    EXPECT_EQ(info.deviceInfo[0], 2);
    EXPECT_EQ(10 * info.deviceInfo[1] + info.deviceInfo[2], 35);
    const DownloadReply refused = checkDownloadReply(hexBytes("90 02 03 00 95"));
    EXPECT_EQ(refused.errorBytes[0], 3);
    EXPECT_EQ(refused.errorBytes[1], 0);
}

TEST(UploadReplyCheck, CodesByFormAndContext) {
    const UploadContext shortForm{};
    const UploadContext longForm{.longSubnetBlocks = true, .longProfibusReply = true};
    const UploadContext hardwareSized{.hardwareSizedModel = true};
    const struct {
        Bytes reply;
        UploadContext context;
        std::uint8_t code;
    } cases[] = {
        {hexBytes("01 08 02 03 05 00 00 00 00 00 13"), shortForm, 0x01},
        {frame(0x01, "05 03 05 00 00 00 00 00"), shortForm, 0x00},
        {frame(0x01, "05 03 05 00 00 00 00 00"), hardwareSized, 0x01},
        {frame(0x04, "00 00 05 00 00 00 00 00 01 2C 00 03 00 0A"), shortForm, 0x04},
        {frame(0x04, "00 00 05 00 00 00 00 00 01 2C 00 03"), shortForm, 0x00},       // n = 12
        {frame(0x04, "04 00 05 00 00 00 00 00 01 2C 00 03 00 0A"), shortForm, 0x00}, // subnet 4
        {frame(0x04, "01 00 05 00 00 00 00 00 01 2C 00 03 00 0A 00 00 00 00 00 00 00 00 01"), longForm, 0x04},
        // The long form is judged by its checksum at byte 25 only.
        {hexBytes("04 00 01 00 05 00 00 00 00 00 01 2C 00 03 00 0A 00 00 00 00 00 00 00 00 01 45"), longForm,
         0x04},
        {hexBytes("04 00 01 00 05 00 00 00 00 00 01 2C 00 03 00 0A 00 00 00 00 00 00 00 00 01"), longForm,
         0x00},
        {frame(0x15, "00 00 07"), shortForm, 0x15},
        {frame(0x15, "03 00 30"), shortForm, 0x15},
        {frame(0x15, "03 00 31"), shortForm, 0x00}, // 49 commands do not fit a subnet
        {frame(0x15, "04 00 01"), shortForm, 0x00},
        {hexBytes("15 03 00 00 07 1E"), shortForm, 0x00},
        {hexBytes("16 01 00 17"), shortForm, 0x16},
        {hexBytes("16 00 16"), shortForm, 0x16},
        {hexBytes("16 01 07 1E"), shortForm, 0x00},
        {frame(0x16, "00 2F 01 03 00 00 00 0A 00 00 00 00 00"), shortForm, 0x16},
        {frame(0x16, "00 30 01 03 00 00 00 0A 00 00 00 00 00"), shortForm, 0x00}, // position 48
        {frame(0x16, "04 00 01 03 00 00 00 0A 00 00 00 00 00"), shortForm, 0x00},
        {hexBytes("16 0D 00 00 01 03 00 00 00 0A 00 00 00 00 00 FF"), shortForm, 0x00},
        {frame(0x22, "05 01 02 03"), shortForm, 0x22},
        {frame(0x22, "05 01 02"), shortForm, 0x00},
        {frame(0x31, "03 01"), shortForm, 0x31},
        {frame(0x31, "03 01 01"), shortForm, 0x00},
        {hexBytes("31 03 03 01 01 00"), longForm, 0x31}, // the long reply is not tested
        {hexBytes("31 03 03 01"), longForm, 0x00},
        {hexBytes("81 02 01 00 84"), shortForm, 0x81},
        {hexBytes("95 02 01 00 98"), shortForm, 0x95},
        {hexBytes("96 02 01 00 99"), shortForm, 0x00},
        {hexBytes("33 01 05 39"), shortForm, 0x00},
        {hexBytes("16"), shortForm, 0x00},
    };
    for (const auto& c : cases) {
        UploadBuffers buffers;
        EXPECT_EQ(checkUploadReply(c.reply, c.context, buffers), c.code)
            << veltrane::testing::hexText(c.reply);
    }
}

TEST(UploadReplyCheck, StoresUnderTheNumbersTheReplyNames) {
    UploadBuffers buffers;
    const UploadContext context{};
    ASSERT_EQ(checkUploadReply(frame(0x15, "02 00 2A"), context, buffers), 0x15);
    EXPECT_EQ(buffers.commandCounts[2], 42);
    ASSERT_EQ(checkUploadReply(frame(0x04, "01 01 05 00 02 00 07 01 00 00 00 00 00 00"), context, buffers),
              0x04);
    EXPECT_EQ(buffers.blocks[1][0], 1);
    EXPECT_EQ(buffers.blocks[1][5], 7);

    // Two records (n = 25), at positions 0 and 5.
    ASSERT_EQ(checkUploadReply(frame(0x16, "03 00 01 03 00 00 00 0A 00 00 00 00 00 "
                                           "05 02 04 00 10 00 01 40 00 03 01 02"),
                               context, buffers),
              0x16);
    EXPECT_EQ(buffers.commands[3][0][0], 1);
    EXPECT_EQ(buffers.commands[3][5], (CommandRecord{2, 4, 0, 0x10, 0, 1, 0x40, 0, 3, 1, 2}));
    EXPECT_EQ(buffers.commands[3][1], CommandRecord{});

    // A refused package leaves every record as it was, also those before the bad position.
    const UploadBuffers before = buffers;
    EXPECT_EQ(checkUploadReply(frame(0x16, "03 01 09 09 09 09 09 09 09 09 09 09 09 "
                                           "FF 09 09 09 09 09 09 09 09 09 09 09"),
                               context, buffers),
              0);
    EXPECT_EQ(buffers, before);
}

TEST(UploadReplyCheck, OptionAndConfigDataReplies) {
    EXPECT_EQ(checkOptionReply(hexBytes("33 01 05 39")), 5);
    EXPECT_FALSE(checkOptionReply(hexBytes("B3 02 01 00 B6")));
    EXPECT_FALSE(checkOptionReply(hexBytes("33 01")));
    EXPECT_EQ(checkConfigDataReply(hexBytes("35 09 02 01 A2 00 00 00 00 00 00 E3")), hexBytes("01 A2"));
    EXPECT_EQ(checkConfigDataReply(hexBytes("35 09 00 00 00 00 00 00 00 00 00 3E")), Bytes{});
    EXPECT_FALSE(checkConfigDataReply(hexBytes("35 09 09 01 02 03 04 05 06 07 08 09 5E"))); // c above 8
    EXPECT_FALSE(checkConfigDataReply(hexBytes("35 08 02 01 A2")));
    EXPECT_FALSE(checkConfigDataReply(hexBytes("35 09 03 01 A2"))); // the third byte never came

    EXPECT_TRUE(isOptionWriteAccepted(hexBytes("32 00 32")));
    EXPECT_FALSE(isOptionWriteAccepted(hexBytes("B2 02 01 00 B5")));
    EXPECT_TRUE(isConfigDataWriteAccepted(hexBytes("34 00 34")));
    EXPECT_FALSE(isConfigDataWriteAccepted(hexBytes("34 00 35")));
}
