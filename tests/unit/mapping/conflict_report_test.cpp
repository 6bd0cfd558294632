#include "core/mapping/conflict_report.h"

#include "support/project_builder.h"

#include <gtest/gtest.h>

using namespace veltrane;
using veltrane::testing::ProjectBuilder;

TEST(ConflictReport, RunsSplitWhereColourVerdictOrCoveringEntriesChange) {
    ProjectBuilder b;
    b.state.flags.commandStatusModel = true;
    b.project.subnets[0].commandStatus = "1";
    b.node(1, "1");
    b.command(1, 1, {"3", "4", "0"});     // 0x00 .. 0x07
    b.command(1, 1, {"4", "1", "6"});     // 0x06 .. 0x07: conflict with the first
    b.command(1, 1, {"5", "8", "20"});    // 0x20 in the input space: exchange, nothing to read there
    b.command(1, 1, {"16", "1", "3"});    // 0x03 .. 0x04 over the first: exchange, conflict for download
    b.command(1, 1, {"6", "2", "4002"});  // 0x4002 .. 0x4005
    b.command(1, 1, {"15", "9", "4004"});  // 0x4004 .. 0x4005
    b.node(2, "3");
    b.command(2, 1, {"6", "1", "4003"});  // 0x4003 .. 0x4004

    const DetectionList list = buildDetectionList(b.project, b.state);
    OccupancyMaps maps;
    countOccupancy(list, maps);
    const std::vector<std::string> lines = describeFindings(findConflicts(list, maps), list);
    const std::vector<std::string> expected = {
        "conflict 0000: Modbus command status, subnet 1 command 1 (03 Read Holding Register)",
        "local data exchange 0003-0004 (a conflict for download): subnet 1 command 1 (03 Read Holding "
        "Register), "
        "subnet 1 command 4 (16 Preset Multiple Registers)",
        "conflict 0006-0007: subnet 1 command 1 (03 Read Holding Register), subnet 1 command 2 (04 Read "
        "Input "
        "Register)",
        "local data exchange 0020: subnet 1 command 3 (05 Force Single Coil)",
        "conflict 4003: subnet 1 command 5 (06 Preset Single Register), subnet 2 command 1 (06 Preset Single "
        "Register)",
        "conflict 4004: subnet 1 command 5 (06 Preset Single Register), subnet 1 command 6 (15 Force "
        "Multiple "
        "Coils), subnet 2 command 1 (06 Preset Single Register)",
        "conflict 4005: subnet 1 command 5 (06 Preset Single Register), subnet 1 command 6 (15 Force "
        "Multiple "
        "Coils)",
    };
    EXPECT_EQ(lines, expected);
}
