#include "core/debug/debug_command.h"
#include "core/debug/debug_report.h"
#include "core/debug/serial_report_assembler.h"

#include "support/hex_bytes.h"

#include <gtest/gtest.h>

using namespace veltrane;
using veltrane::testing::hexBytes;
using veltrane::testing::hexText;

namespace {

struct CommandCase {
    const char* name;
    DebugCommand command;
    const char* ethernet;
    const char* serial;  // empty: not a serial message
};

TEST(DebugCommandCodec, EncodesAndDecodesEveryToolMessage) {
    const CommandCase cases[] = {
        {"start", DebugCommand::start(), "00 00 00 0E 00 00 00 08 EA EA EA EA 00 00 00 00", ""},
        {"stop", DebugCommand::stop(), "00 00 00 0E 00 00 00 08 F0 F0 F0 F0 00 00 00 00", ""},
        {"acknowledge", DebugCommand::acknowledge(), "00 00 00 10 00 00 00 04 00 00 00 00", "00"},
        {"write four bytes", DebugCommand::writeTo({0x4000, {0x00, 0x01, 0x02, 0x03}}),
         "00 00 00 10 00 00 00 0A 00 00 00 01 40 00 00 01 02 03", "01 40 00 04 00 01 02 03"},
        {"write last byte", DebugCommand::writeTo({0x41EB, {0xFF}}), "00 00 00 10 00 00 00 07 00 00 00 01 41 EB FF",
         "01 41 EB 01 FF"},
    };
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(hexText(c.command.encodeEthernet()), c.ethernet);
        EXPECT_EQ(hexText(c.command.encodeSerial()), c.serial);
        const auto fromEthernet = DebugCommand::decodeEthernet(hexBytes(c.ethernet));
        ASSERT_TRUE(fromEthernet.ok());
        EXPECT_EQ(*fromEthernet, c.command);
        if (*c.serial) {
            const auto fromSerial = DebugCommand::decodeSerial(hexBytes(c.serial));
            ASSERT_TRUE(fromSerial.ok());
            EXPECT_EQ(*fromSerial, c.command);
        }
    }
}

TEST(DebugCommandCodec, RefusesMessagesThatAreNotExactlyOne) {
    const char* ethernet[] = {
        "",
        "00 00 00 10 00 00 00 04 00 00 00",                    // short body
        "00 00 00 10 00 00 00 04 00 00 00 00 00",              // a byte beyond the body
        "00 00 00 10 00 00 00 05 00 00 00 00",                 // length claims more than sent
        "00 00 00 0E 00 00 00 08 EA EA EA EB 00 00 00 00",     // not the start mark
        "00 00 00 10 00 00 00 04 00 00 00 02",                 // neither acknowledge nor write
        "00 00 00 11 00 00 00 04 00 00 00 00",                 // unknown code
    };
    for (const char* text : ethernet)
        EXPECT_FALSE(DebugCommand::decodeEthernet(hexBytes(text)).ok()) << text;
    const char* serial[] = {"", "02", "00 00", "01 40 00", "01 40 00 02 AA", "01 40 00 01 AA BB"};
    for (const char* text : serial)
        EXPECT_FALSE(DebugCommand::decodeSerial(hexBytes(text)).ok()) << text;
}

TEST(DebugCommandCodec, SerialWriteBeyondOneCountByteIsNotFramed) {
    const DebugCommand tooLong = DebugCommand::writeTo({0x4000, Bytes(256, 0x11)});
    EXPECT_TRUE(tooLong.encodeSerial().empty());
    EXPECT_EQ(tooLong.encodeEthernet().size(), 8u + 6u + 256u);
}

struct ReportCase {
    const char* name;
    const char* bytes;
    DebugReport expected;
};

TEST(DebugReportCodec, EthernetReportsDecodeAndEncode) {
    const ReportCase cases[] = {
        {"correct, body 16: four data bytes",
         "00 00 00 0F 00 00 00 10 00 00 00 01 00 00 00 00 00 07 00 64 0A 0B 0C 0D",
         {report_status::Correct, 1, 7, 100, 0, {0x0A, 0x0B, 0x0C, 0x0D}}},
        {"correct, body 12: no data", "00 00 00 0F 00 00 00 0C 00 00 00 03 00 00 00 00 00 11 12 34",
         {report_status::Correct, 3, 0x11, 0x1234, 0, {}}},
        {"exception: code in the last byte of the first data word",
         "00 00 00 0F 00 00 00 10 00 00 00 00 00 00 00 01 00 02 00 05 00 00 00 02",
         {report_status::Exception, 0, 2, 5, 2, {}}},
        {"time-out", "00 00 00 0F 00 00 00 0C 00 00 00 00 00 00 00 03 00 09 00 00",
         {report_status::Timeout, 0, 9, 0, 0, {}}},
    };
    for (const ReportCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto report = DebugReport::decodeEthernet(hexBytes(c.bytes));
        ASSERT_TRUE(report.ok()) << report.message();
        EXPECT_EQ(*report, c.expected);
        EXPECT_EQ(hexText(c.expected.encodeEthernet()), c.bytes);
    }
}

TEST(DebugReportCodec, EthernetReportsReadOnlyTheirOwnFields) {
    // The command code and the bytes around the one-byte fields are not the tool's concern.
    const auto report =
        DebugReport::decodeEthernet(hexBytes("12 34 56 78 00 00 00 0D AA BB CC 02 DD EE FF 02 99 05 00 10 7F"));
    ASSERT_TRUE(report.ok());
    EXPECT_EQ(*report, (DebugReport{report_status::Error, 2, 5, 0x10, 0, {0x7F}}));
}

TEST(DebugReportCodec, RefusesMalformedEthernetReports) {
    Bytes longest(kEthernetReportMaxSize, 0);
    longest[6] = 0x01;
    longest[7] = 0x24;  // body 292: the whole datagram
    ASSERT_TRUE(DebugReport::decodeEthernet(longest).ok());
    Bytes tooLong(kEthernetReportMaxSize + 1, 0);
    tooLong[6] = 0x01;
    tooLong[7] = 0x25;

    const std::pair<const char*, Bytes> cases[] = {
        {"empty", {}},
        {"header only", hexBytes("00 00 00 0F 00 00 00 0C")},
        {"one byte short of the fixed part", hexBytes("00 00 00 0F 00 00 00 0B 00 00 00 00 00 00 00 00 00 01 00")},
        {"length claims more than came",
         hexBytes("00 00 00 0F 00 00 00 10 00 00 00 00 00 00 00 00 00 01 00 00 0A")},
        {"length claims less than came",
         hexBytes("00 00 00 0F 00 00 00 0C 00 00 00 00 00 00 00 00 00 01 00 00 0A")},
        {"length off by 256 (only its low byte matches)",
         hexBytes("00 00 00 0F 00 00 01 0C 00 00 00 00 00 00 00 00 00 01 00 00")},
        {"exception without its code",
         hexBytes("00 00 00 0F 00 00 00 0F 00 00 00 00 00 00 00 01 00 01 00 00 00 00 02")},
        {"longer than a report can be", tooLong},
    };
    for (const auto& [name, bytes] : cases)
        EXPECT_FALSE(DebugReport::decodeEthernet(bytes).ok()) << name;
}

TEST(DebugReportCodec, SerialReportsDecodeAndEncode) {
    const ReportCase cases[] = {
        {"correct with two bytes", "00 01 00 0A 02 12 34", {report_status::Correct, 0, 1, 10, 0, {0x12, 0x34}}},
        {"error without data", "02 05 FF FF 00", {report_status::Error, 0, 5, 0xFFFF, 0, {}}},
        {"exception", "01 03 00 02 01 04", {report_status::Exception, 0, 3, 2, 4, {}}},
        {"time-out", "03 07 01 00 00", {report_status::Timeout, 0, 7, 0x100, 0, {}}},
    };
    for (const ReportCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto report = DebugReport::decodeSerial(hexBytes(c.bytes));
        ASSERT_TRUE(report.ok()) << report.message();
        EXPECT_EQ(*report, c.expected);
        EXPECT_EQ(hexText(c.expected.encodeSerial()), c.bytes);
    }
    // The idle status and unknown ones have no layout of their own: only the status is read.
    for (const char* text : {"FF", "FF 00 00 00 00", "07 01 02"}) {
        const auto report = DebugReport::decodeSerial(hexBytes(text));
        ASSERT_TRUE(report.ok()) << text;
        EXPECT_EQ(report->status, hexBytes(text)[0]);
    }
}

TEST(DebugReportCodec, RefusesMalformedSerialReports) {
    const char* cases[] = {"", "00", "00 01 00", "00 01 00 0A", "00 01 00 0A 02 12", "00 01 00 0A 01 12 34",
                           "01 03 00 02 01", "01 03 00 02 01 04 00", "03 07 01 00 01"};
    for (const char* text : cases)
        EXPECT_FALSE(DebugReport::decodeSerial(hexBytes(text)).ok()) << text;
    EXPECT_FALSE(DebugReport::decodeSerial(Bytes(kSerialReportMaxSize + 1, 0xFF)).ok());
}

TEST(SerialReportAssembler, CutsReportsFromPiecesAndRunsOfBytes) {
    SerialReportAssembler assembler;
    EXPECT_TRUE(assembler.feed(hexBytes("00 01")).empty());
    EXPECT_TRUE(assembler.feed(hexBytes("00 0A 02 12")).empty());
    // The rest of the first report, a whole exception and the start of a time-out in one read.
    const std::vector<Bytes> reports = assembler.feed(hexBytes("34 01 03 00 02 01 04 03 07"));
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(hexText(reports[0]), "00 01 00 0A 02 12 34");
    EXPECT_EQ(hexText(reports[1]), "01 03 00 02 01 04");
    EXPECT_TRUE(assembler.pending());
    EXPECT_EQ(hexText(assembler.feed(hexBytes("01 00 00")).at(0)), "03 07 01 00 00");

    // A report whose length is not fixed waits for a quiet line.
    EXPECT_TRUE(assembler.feed(hexBytes("FF 00")).empty());
    EXPECT_EQ(hexText(assembler.flush()), "FF 00");
    EXPECT_FALSE(assembler.pending());
}

TEST(SerialReportAssembler, NoiseNeverGrowsTheBufferPastOneReport) {
    SerialReportAssembler assembler;
    const Bytes noise(kSerialReportMaxSize, 0x55);
    EXPECT_TRUE(assembler.feed(noise).empty());
    const std::vector<Bytes> out = assembler.feed(hexBytes("55"));
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].size(), kSerialReportMaxSize + 1);
    EXPECT_FALSE(assembler.pending());
}

}  // namespace
