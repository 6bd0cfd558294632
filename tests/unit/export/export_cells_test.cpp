#include "core/export/export_cells.h"

#include "core/model/project_defaults.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>

using namespace veltrane;

namespace {

using Position = std::tuple<ExportSheet, int, int>;

// The cells by position; a position written twice would hide a value, so it fails the test.
std::map<Position, std::string> cellMap(const Project& project, const ProjectState& state) {
    std::map<Position, std::string> cells;
    for (const ExportCell& cell : exportCells(project, state)) {
        const bool fresh = cells.emplace(Position{cell.sheet, cell.row, cell.column}, cell.text).second;
        EXPECT_TRUE(fresh) << "cell written twice: row " << cell.row << " column " << cell.column;
    }
    return cells;
}

std::map<int, std::string> row(const std::map<Position, std::string>& cells, ExportSheet sheet, int r) {
    std::map<int, std::string> out;
    for (const auto& [pos, text] : cells)
        if (std::get<0>(pos) == sheet && std::get<1>(pos) == r)
            out[std::get<2>(pos)] = text;
    return out;
}

int rowCount(const std::map<Position, std::string>& cells, ExportSheet sheet) {
    int last = 0;
    for (const auto& [pos, text] : cells)
        if (std::get<0>(pos) == sheet)
            last = std::max(last, std::get<1>(pos));
    return last;
}

class ExportCellsTest : public ::testing::Test {
protected:
    void SetUp() override { initializeNewProject(project, state); }

    INSTRUCTION& addCommand(int subnet, const std::string& slave, const std::string& mapping) {
        CONFIG& s = project.subnets[static_cast<std::size_t>(subnet - 1)];
        INSTRUCTION& c = s.commands[static_cast<std::size_t>(s.commandCount++)];
        c = {slave, "3", "100", "4", mapping, "0", "8", "No Swap", "CRC", "Fast Scan", 1};
        return c;
    }

    Project project;
    ProjectState state;
};

TEST_F(ExportCellsTest, FieldbusRowAndTitleClearingDependOnSingleSubnetModel) {
    project.fieldbus.ipAssignMode = "DHCP";
    auto cells = cellMap(project, state);
    EXPECT_EQ(row(cells, ExportSheet::Fieldbus, 2),
              (std::map<int, std::string>{{1, "EtherNet/IP"}, {2, "DHCP"}, {3, "192.168.0.110"},
                                          {4, "255.255.255.0"}, {5, "192.168.0.1"}, {6, "0.0.0.0"}, {7, "0.0.0.0"}}));
    EXPECT_EQ(row(cells, ExportSheet::Fieldbus, 1), (std::map<int, std::string>{{8, ""}, {9, ""}}));

    state.flags.singleSubnetModel = true;
    project.fieldbus.configMode = "Disable";
    project.fieldbus.configData = "Enable";
    cells = cellMap(project, state);
    EXPECT_TRUE(row(cells, ExportSheet::Fieldbus, 1).empty());
    EXPECT_EQ(row(cells, ExportSheet::Fieldbus, 2)[8], "Disable");
    EXPECT_EQ(row(cells, ExportSheet::Fieldbus, 2)[9], "Enable");
}

TEST_F(ExportCellsTest, SubnetColumnsFollowTheProtocol) {
    state.SubnetCount = 3;  // a third subnet shows the other-protocol case
    project.subnets[0].outputPulse = "500";
    project.subnets[1].protocolType = "User Config";
    project.subnets[1].userBaudRate = "9600";
    project.subnets[1].startDelimiter = "2";
    project.subnets[1].endDelimiter = "3";
    project.subnets[2].protocolType = "Modbus Slave";
    const auto cells = cellMap(project, state);

    EXPECT_EQ(row(cells, ExportSheet::Subnet, 2),
              (std::map<int, std::string>{{1, "1"}, {2, "Modbus Master"}, {3, "19200"}, {4, "8"}, {5, "None"},
                                          {6, "1"}, {8, "RTU"}, {9, "300"}, {10, "0"}, {11, "Change of Value"},
                                          {12, "500"}, {13, "10"}}));
    EXPECT_EQ(row(cells, ExportSheet::Subnet, 3),
              (std::map<int, std::string>{{1, "2"}, {2, "User Config"}, {3, "9600"}, {4, "8"}, {5, "None"},
                                          {6, "1"}, {14, "Time Interval between Characters"}, {15, "10"},
                                          {16, "111"}, {17, "2"}, {18, "3"}, {19, "Disable"}, {20, "1000"},
                                          {21, "Disable"}}));
    EXPECT_EQ(row(cells, ExportSheet::Subnet, 4), (std::map<int, std::string>{{1, "3"}, {2, "Modbus Slave"}}));
    EXPECT_EQ(row(cells, ExportSheet::Subnet, 1),
              (std::map<int, std::string>{{14, "Frame Type"}, {15, "Time Interval between Characters"},
                                          {16, "Frame Length"}, {17, "Start Delimiter"}, {18, "End Delimiter"},
                                          {19, "Enable Auto Sending"}, {20, "Period of Auto Sending"},
                                          {21, "Enable CRC Check"}}));
}

TEST_F(ExportCellsTest, UnsetOutputPulseIsBlankAndNoUserConfigMeansNoTitles) {
    const auto cells = cellMap(project, state);
    EXPECT_EQ(row(cells, ExportSheet::Subnet, 2)[12], "");
    EXPECT_EQ(row(cells, ExportSheet::Subnet, 3)[12], "");
    EXPECT_TRUE(row(cells, ExportSheet::Subnet, 1).empty());
    EXPECT_EQ(rowCount(cells, ExportSheet::Subnet), 3);
}

TEST_F(ExportCellsTest, CommandRowsRunWithoutGapsAcrossMasterSubnets) {
    for (const char* slave : {"1", "2", "3"})
        addCommand(1, slave, "0");
    addCommand(2, "7", "4000");
    addCommand(2, "8", "4008").mappingBit = "3";
    auto cells = cellMap(project, state);
    EXPECT_EQ(rowCount(cells, ExportSheet::CommandList), 6);
    for (int r = 2; r <= 4; ++r)
        EXPECT_EQ(row(cells, ExportSheet::CommandList, r)[1], "1");
    EXPECT_EQ(row(cells, ExportSheet::CommandList, 6),
              (std::map<int, std::string>{{1, "2"}, {2, "8"}, {3, "3"}, {4, "100"}, {5, "4"}, {6, "4008H"}, {7, "3"},
                                          {8, "8"}, {9, "No Swap"}, {10, "CRC"}, {11, "Fast Scan"}}));

    // A subnet that is not a Modbus master sends no commands; the next one starts at row 2.
    project.subnets[0].protocolType = "User Config";
    cells = cellMap(project, state);
    EXPECT_EQ(rowCount(cells, ExportSheet::CommandList), 3);
    EXPECT_EQ(row(cells, ExportSheet::CommandList, 2)[2], "7");
    EXPECT_EQ(row(cells, ExportSheet::CommandList, 3)[2], "8");
}

TEST_F(ExportCellsTest, MappingAddressIsUpperCaseWithSuffixAndTheProjectFollows) {
    addCommand(1, "1", "1eb");
    addCommand(1, "1", "");
    project.subnets[1].protocolType = "Modbus Slave";
    addCommand(2, "1", "4abc");  // not exported, so left as it is

    const auto cells = cellMap(project, state);
    EXPECT_EQ(row(cells, ExportSheet::CommandList, 2)[6], "1EBH");
    EXPECT_EQ(row(cells, ExportSheet::CommandList, 3)[6], "");

    upperCaseMappingAddresses(project, state);
    EXPECT_EQ(project.subnets[0].commands[0].mappingAddress, "1EB");
    EXPECT_EQ(project.subnets[1].commands[0].mappingAddress, "4abc");
}

TEST_F(ExportCellsTest, AbsurdCountsStayInsideTheRecords) {
    state.SubnetCount = 9;
    project.subnets[0].commandCount = 500;
    project.subnets[1].commandCount = -3;
    project.subnets[3].commandCount = kMaxCommands + 1;
    const auto cells = cellMap(project, state);
    EXPECT_EQ(rowCount(cells, ExportSheet::Subnet), 1 + kSubnetSlots);
    EXPECT_EQ(rowCount(cells, ExportSheet::CommandList), 1 + 2 * kMaxCommands);
    upperCaseMappingAddresses(project, state);
}

TEST(ExportSupport, OnlyEtherNetIpGatewaysAreExported) {
    ProjectState state;
    for (int type = 0; type <= 7; ++type) {
        state.DeviceType = type;
        EXPECT_EQ(exportSupported(state), type == 4) << type;
    }
    EXPECT_EQ(exportSheetName(ExportSheet::Fieldbus), "Fieldbus");
    EXPECT_EQ(exportSheetName(ExportSheet::Subnet), "Subnet");
    EXPECT_EQ(exportSheetName(ExportSheet::CommandList), "Command List");
}

}  // namespace
