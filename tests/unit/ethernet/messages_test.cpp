#include "core/link/ethernet/discovery_messages.h"
#include "core/common/ipv4.h"
#include "core/link/ethernet/message_header.h"
#include "core/link/ethernet/tcp_messages.h"
#include "hex.h"

#include <gtest/gtest.h>

using namespace veltrane;
using namespace veltrane::ethernet;
using veltrane::testing::fromHex;
using veltrane::testing::normalHex;
using veltrane::testing::toHex;

TEST(MessageHeader, EncodesBigEndianAndDecodesBack) {
    struct Case {
        std::uint32_t command;
        std::uint32_t length;
        const char* hex;
    };
    const Case cases[] = {
        {3, 0, "00000003 00000000"},
        {6, 1264, "00000006 000004f0"},
        {10, 8, "0000000a 00000008"},
        {0xDEADBEEF, 0x01020304, "deadbeef 01020304"},
    };
    for (const Case& c : cases) {
        const MessageHeader header{c.command, c.length};
        EXPECT_EQ(toHex(header.encode()), normalHex(c.hex));
        EXPECT_EQ(MessageHeader::decode(fromHex(c.hex)), header);
    }
    EXPECT_FALSE(MessageHeader::decode(fromHex("00000003 000000")));
    EXPECT_FALSE(commandCodeOf(fromHex("000000")));
}

TEST(Ipv4Text, ParsesLikeTheSocketLibrary) {
    struct Case {
        const char* text;
        const char* hex;  // empty: does not parse
    };
    const Case cases[] = {
        {"192.168.0.110", "c0a8006e"}, {"0.0.0.0", "00000000"},   {"255.255.255.255", "ffffffff"},
        {"10.1", "0a000001"},          {"127.1.2", "7f010002"},  {"0x7f.010.0.1", "7f080001"},
        {"3232235630", "c0a8006e"},    {"", ""},                 {"abc", ""},
        {"1.2.3.4.5", ""},             {"256.1.1.1", ""},        {"1..2.3", ""},
        {"1.2.3.", ""},                {"1.2.3.256", ""},        {"09.1.1.1", ""},
        {" 1.2.3.4", ""},              {"1.2.3.4 ", ""},         {"4294967296", ""},
    };
    for (const Case& c : cases) {
        const auto octets = parseIpv4(c.text);
        if (*c.hex == '\0') {
            EXPECT_FALSE(octets) << c.text;
        } else {
            ASSERT_TRUE(octets) << c.text;
            EXPECT_EQ(toHex(*octets), c.hex) << c.text;
        }
    }
    EXPECT_EQ(ipv4Text({192, 168, 0, 110}), "192.168.0.110");
}

TEST(Discovery, RequestBytes) {
    EXPECT_EQ(toHex(DiscoveryRequest{}.encode()), "0000000300000000");
    EXPECT_TRUE(DiscoveryRequest::decode(fromHex("00000003")));
    EXPECT_FALSE(DiscoveryRequest::decode(fromHex("000000")));
    EXPECT_FALSE(DiscoveryRequest::decode(fromHex("00000005 00000000")));
}

namespace {
// A reply as a gateway sends it: model 30202, firmware 2.10, MAC 00-1a-2b-3c-4d-5e, 192.168.0.110.
std::vector<std::uint8_t> sampleReply(const char* remoteFlag = "00000001") {
    return fromHex(std::string("00000003 0000003c 000075fa 000000000000000000000000 0002 000a 001a2b3c4d5e 0000"
                               "c0a8006e 000000000000000000000000000000000000000000000000") +
                   remoteFlag);
}
}  // namespace

TEST(Discovery, ReplyFieldsAndTexts) {
    const auto reply = DiscoveryReply::decode(sampleReply());
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->modelCode, 30202u);
    EXPECT_EQ(reply->firmwareText(), "2.10");
    EXPECT_EQ(reply->macText(), "00-1a-2b-3c-4d-5e");
    EXPECT_EQ(reply->ipText(), "192.168.0.110");
    EXPECT_TRUE(reply->remoteConfigAllowed());
    // What a gateway sends is what the tool reads.
    EXPECT_EQ(toHex(reply->encode()), toHex(sampleReply()));

    // Only exactly 1 allows remote configuration.
    for (const char* flag : {"01000000", "00000000", "00000002"}) {
        const auto other = DiscoveryReply::decode(sampleReply(flag));
        ASSERT_TRUE(other);
        EXPECT_FALSE(other->remoteConfigAllowed()) << flag;
    }
}

TEST(Discovery, UntrustedRepliesAreRefusedOrPadded) {
    const std::vector<std::uint8_t> full = sampleReply();

    // 15 bytes or fewer, or another code: refused as malformed.
    for (std::size_t size : {0u, 3u, 4u, 15u}) {
        const auto reply = DiscoveryReply::decode(std::span(full).first(size));
        ASSERT_FALSE(reply) << size;
        EXPECT_EQ(reply.kind(), ErrorKind::MalformedReply);
    }
    std::vector<std::uint8_t> wrongCode = full;
    wrongCode[3] = 5;
    EXPECT_FALSE(DiscoveryReply::decode(wrongCode));

    // A short reply reads the missing bytes as zero.
    const auto shortReply = DiscoveryReply::decode(std::span(full).first(30));
    ASSERT_TRUE(shortReply);
    EXPECT_EQ(shortReply->firmwareText(), "2.10");
    EXPECT_EQ(shortReply->macText(), "00-1a-00-00-00-00");
    EXPECT_EQ(shortReply->ipText(), "0.0.0.0");
    EXPECT_FALSE(shortReply->remoteConfigAllowed());

    // A long one is cut at 68 bytes.
    std::vector<std::uint8_t> longReply = full;
    longReply.resize(200, 0xEE);
    const auto cut = DiscoveryReply::decode(longReply);
    ASSERT_TRUE(cut);
    EXPECT_EQ(*cut, *DiscoveryReply::decode(full));
}

TEST(TcpMessages, RequestBytes) {
    EXPECT_EQ(toHex(ReadRequest{}.encode()), "0000000500000000");
    EXPECT_EQ(toHex(RestartRequest{}.encode()), normalHex("0000000a 00000008 4c756d614665726e"));
    EXPECT_TRUE(RestartRequest::matches(RestartRequest{}.encode()));
    EXPECT_FALSE(RestartRequest::matches(fromHex("0000000a 00000008 4c756d614665726f")));
    EXPECT_EQ(toHex(encodeWriteReply()), "0000000600000000");
}

TEST(TcpMessages, WriteReplyLooksAtTheFirstFourBytesOnly) {
    EXPECT_TRUE(checkWriteReply(fromHex("00000006 0102030405060708090a0b0c")));
    EXPECT_TRUE(checkWriteReply(fromHex("00000006")));
    const auto empty = checkWriteReply({});
    ASSERT_FALSE(empty);
    EXPECT_EQ(empty.kind(), ErrorKind::MalformedReply);
    const auto wrong = checkWriteReply(fromHex("00000005 00000000"));
    ASSERT_FALSE(wrong);
    EXPECT_EQ(wrong.kind(), ErrorKind::NegativeReply);
}

TEST(TcpMessages, ReadReplyZeroFillsWhatDidNotArrive) {
    ConfigurationImage stored;
    for (std::size_t i = 8; i < kImageSize; ++i)
        stored.bytes()[i] = static_cast<std::uint8_t>(i);
    const ConfigurationImage sent = encodeReadReply(stored);
    EXPECT_EQ(sent.commandCode(), 5u);

    // The first part of a reply split at 600 bytes.
    const auto part = decodeReadReply(sent.bytes().first(600));
    ASSERT_TRUE(part);
    EXPECT_TRUE(std::equal(part->bytes().begin(), part->bytes().begin() + 600, sent.bytes().begin()));
    EXPECT_TRUE(std::all_of(part->bytes().begin() + 600, part->bytes().end(), [](auto b) { return b == 0; }));

    // Extra bytes past the image are dropped.
    std::vector<std::uint8_t> longer(sent.bytes().begin(), sent.bytes().end());
    longer.resize(2048, 0xAA);
    EXPECT_EQ(*decodeReadReply(longer), sent);

    EXPECT_EQ(decodeReadReply(fromHex("00000006 000004f0")).kind(), ErrorKind::NegativeReply);
    EXPECT_EQ(decodeReadReply(fromHex("0000")).kind(), ErrorKind::MalformedReply);
}
