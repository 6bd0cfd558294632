#include "core/debug/report_row.h"

#include <gtest/gtest.h>

using namespace veltrane;

namespace {

using Cells = std::vector<std::string>;

struct RowCase {
    const char* name;
    DebugReport report;
    Cells cells;
};

TEST(ReportRow, EthernetRows) {
    const RowCase cases[] = {
        {"correct", {0, 0, 1, 100, 0, {0x00, 0x0A, 0xFF}}, {"1", "Responding correctly", "1", "100", "00 0a ff "}},
        {"exception shows the code as a number", {1, 3, 2, 5, 2, {}}, {"4", "Abnormal response", "2", "5", "2"}},
        {"error", {2, 1, 9, 65535, 0, {}}, {"2", "Response Error", "9", "65535", ""}},
        {"time-out shows the index and status alone", {3, 0, 9, 7, 0, {}}, {"1", "Response Timeout", "", "", ""}},
    };
    for (const RowCase& c : cases) {
        SCOPED_TRACE(c.name);
        const ReportHandling handling = handleReport(c.report, DebugTransport::Ethernet);
        EXPECT_TRUE(handling.acknowledge);
        ASSERT_TRUE(handling.row);
        EXPECT_EQ(handling.row->cells(DebugTransport::Ethernet), c.cells);
    }
}

TEST(ReportRow, SerialRows) {
    const RowCase cases[] = {
        {"correct", {0, 0, 1, 10, 0, {0x12, 0x34}}, {"Responding correctly", "1", "10", "12 34 "}},
        {"exception shows its text", {1, 0, 3, 2, 6, {}}, {"Abnormal response", "3", "2", "06 (Slave device busy)"}},
        {"time-out keeps slave and address", {3, 0, 7, 256, 0, {}},
         {"Response Timeout", "7", "256", "No response from the node"}},
    };
    for (const RowCase& c : cases) {
        SCOPED_TRACE(c.name);
        const ReportHandling handling = handleReport(c.report, DebugTransport::Serial);
        ASSERT_TRUE(handling.row);
        EXPECT_EQ(handling.row->cells(DebugTransport::Serial), c.cells);
    }
}

TEST(ReportRow, ExceptionTexts) {
    const std::pair<int, const char*> cases[] = {
        {1, "01 (Illegal function code)"}, {2, "02 (Illegal data address)"}, {3, "03 (Illegal Data)"},
        {4, "04 (Slave device failure)"},  {5, "05 (Confirm)"},              {6, "06 (Slave device busy)"},
        {7, "07 (Negation)"},              {8, "08 (Memory parity error)"},
        // Codes beyond the table read as an illegal function code.
        {0, "01 (Illegal function code)"}, {0x0B, "01 (Illegal function code)"},
    };
    for (const auto& [code, text] : cases)
        EXPECT_EQ(exceptionText(static_cast<std::uint8_t>(code)), text);
}

TEST(ReportRow, IdleAndUnknownStatuses) {
    DebugReport idle;
    idle.status = report_status::Idle;
    const ReportHandling serialIdle = handleReport(idle, DebugTransport::Serial);
    EXPECT_TRUE(serialIdle.acknowledge);
    EXPECT_FALSE(serialIdle.row);
    EXPECT_TRUE(serialIdle.saveText.empty());

    // Over Ethernet 0xFF is just another unknown status.
    for (const std::uint8_t status : {std::uint8_t{4}, std::uint8_t{0x80}, report_status::Idle}) {
        DebugReport unknown;
        unknown.status = status;
        const ReportHandling ethernet = handleReport(unknown, DebugTransport::Ethernet);
        EXPECT_FALSE(ethernet.acknowledge) << int{status};
        EXPECT_FALSE(ethernet.row);
        EXPECT_TRUE(ethernet.saveText.empty());
        if (status != report_status::Idle) {
            EXPECT_FALSE(handleReport(unknown, DebugTransport::Serial).acknowledge) << int{status};
        }
    }
}

TEST(ReportRow, SavedLines) {
    const DebugReport correct{0, 1, 5, 16, 0, {0xAB, 0x01}};
    EXPECT_EQ(handleReport(correct, DebugTransport::Ethernet).saveText,
              "Serial Index\t2\nStatus\t\tResponding correctly\nSlave address\t5\nStarting address\t16\n"
              "Data/exception code\tab 01 \n\n");
    EXPECT_EQ(handleReport(correct, DebugTransport::Serial).saveText,
              "Status\t\tResponding correctly\nSlave address\t5\nStarting address\t16\nData/exception code\tab 01 \n");

    const DebugReport timeout{3, 1, 5, 16, 0, {}};
    EXPECT_EQ(handleReport(timeout, DebugTransport::Ethernet).saveText,
              "Serial Index\t\nStatus\t\tResponse Timeout\nSlave address\t\nStarting address\t\n"
              "Data/exception code\t\n\n");
    EXPECT_EQ(handleReport(timeout, DebugTransport::Serial).saveText,
              "Status\t\tResponse Timeout\nSlave address\t5\nStarting address\t16\n"
              "Data/exception code\tNo response from the node\n");
}

TEST(ReportRow, ColumnsFollowTheTransport) {
    EXPECT_EQ(columnTitles(DebugTransport::Ethernet),
              (std::vector<Str>{Str::DebugColumnSerialIndex, Str::DebugColumnStatus, Str::DebugColumnSlave,
                                Str::DebugColumnStart, Str::DebugColumnData}));
    EXPECT_EQ(columnTitles(DebugTransport::Serial).size(), 4u);
    EXPECT_TRUE(columnTitles(DebugTransport::None).empty());

    ProjectState state;
    state.DeviceType = device::EtherNetIP;
    EXPECT_EQ(debugTransportFor(state), DebugTransport::Ethernet);
    state.flags.extendedFrameModel = true;
    EXPECT_EQ(debugTransportFor(state), DebugTransport::Serial);
    state = {};
    state.DeviceType = device::ProfibusFilter;
    EXPECT_EQ(debugTransportFor(state), DebugTransport::Serial);
    state.DeviceType = device::DeviceNet;
    EXPECT_EQ(debugTransportFor(state), DebugTransport::None);
}

}  // namespace
