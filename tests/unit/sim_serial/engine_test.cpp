#include "sim/engine/serial/frame_assembler.h"
#include "sim/engine/serial/serial_gateway_engine.h"

#include "support/hex_bytes.h"

#include <gtest/gtest.h>

using namespace veltrane;
using sim::SerialFault;
using veltrane::testing::hexBytes;
using veltrane::testing::hexText;

TEST(SerialGatewayEngine, AnswersAndKeepsWhatIsWritten) {
    sim::SerialGatewayEngine gateway({.deviceCode = 2, .firmwareVersion = 35});
    const struct {
        const char* request;
        const char* reply;
    } exchanges[] = {
        {"01 00 01", "01 08 02 03 05 00 00 00 00 00 13"},
        {"30 02 03 01 36", "30 00 30"},
        {"31 00 31", "31 02 03 01 37"},
        {"10 0D 00 00 01 03 00 00 00 0A 00 00 00 00 00 2B", "10 00 10"},
        {"15 01 00 16", "15 03 00 00 01 19"},
        {"16 02 00 00 18", "16 0D 00 00 01 03 00 00 00 0A 00 00 00 00 00 31"},
        {"16 02 00 01 19", "16 01 00 17"},
        {"14 03 00 55 AA 16", "14 00 14"},
        {"15 01 00 16", "15 03 00 00 00 18"},
        {"15 01 01 17", "95 02 02 00 99"}, // a single-subnet gateway has subnet 0 only
        {"10 0D 00 30 01 03 00 00 00 0A 00 00 00 00 00 5B", "90 02 02 00 94"}, // position 48
        {"32 01 07 3A", "32 00 32"},
        {"33 00 33", "33 01 07 3B"},
        {"34 09 02 D1 E1 00 00 00 00 00 00 F1", "34 00 34"},
        {"35 00 35", "35 09 02 D1 E1 00 00 00 00 00 00 F2"},
        {"7F 00 7F", "FF 02 01 00 02"},
        {"01 00 02", ""}, // garbled: no answer
    };
    for (const auto& e : exchanges)
        EXPECT_EQ(hexText(gateway.handle(hexBytes(e.request)).bytes()), e.reply) << e.request;
}

TEST(SerialGatewayEngine, FaultsHitTheNamedRequest) {
    sim::SerialGatewayEngine gateway(
        {.deviceCode = 1,
         .faults = {
             {.request = 1},
             {.request = 2, .kind = SerialFault::Kind::BadChecksum},
             {.request = 3, .kind = SerialFault::Kind::NegativeReply, .errorBytes = {3, 0}},
             {.request = 4, .kind = SerialFault::Kind::SplitReply},
             {.request = 5, .kind = SerialFault::Kind::LateReply, .delay = std::chrono::milliseconds{400}}}});
    const auto request = hexBytes("01 00 01");
    EXPECT_EQ(gateway.handle(request).chunks.size(), 1u);
    EXPECT_TRUE(gateway.handle(request).silent());
    EXPECT_EQ(hexText(gateway.handle(request).bytes()), "01 08 01 04 00 00 00 00 00 00 0F");
    EXPECT_EQ(hexText(gateway.handle(hexBytes("10 0D 00 00 01 03 00 00 00 0A 00 00 00 00 00 2B")).bytes()),
              "90 02 03 00 95");
    const sim::SerialReply split = gateway.handle(request);
    ASSERT_EQ(split.chunks.size(), 2u);
    EXPECT_EQ(split.chunks[1].delay, std::chrono::milliseconds{100});
    EXPECT_EQ(hexText(split.bytes()), "01 08 01 04 00 00 00 00 00 00 0E");
    const sim::SerialReply late = gateway.handle(request);
    ASSERT_EQ(late.chunks.size(), 1u);
    EXPECT_EQ(late.chunks[0].delay, std::chrono::milliseconds{400});
    EXPECT_EQ(gateway.memory().commandCounts[0], 0); // the refused add changed nothing
}

TEST(FrameAssembler, GathersFramesFromPieces) {
    sim::FrameAssembler assembler;
    const auto stream = hexBytes("01 00 01 16 02 00 01 19 15 01");
    for (std::uint8_t b : stream)
        assembler.feed(std::span(&b, 1));
    EXPECT_EQ(assembler.next(), hexBytes("01 00 01"));
    EXPECT_EQ(assembler.next(), hexBytes("16 02 00 01 19"));
    EXPECT_FALSE(assembler.next());
    EXPECT_EQ(assembler.pending(), 2u);
    assembler.feed(hexBytes("00 16"));
    EXPECT_EQ(assembler.next(), hexBytes("15 01 00 16"));
    assembler.feed(hexBytes("03 FF"));
    EXPECT_FALSE(assembler.next());
    assembler.clear();
    EXPECT_EQ(assembler.pending(), 0u);
}
