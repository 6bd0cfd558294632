// Project differences: what is matched with what, and how items and rows are named.

#include "core/compare/project_diff.h"
#include "core/strings/strings.h"
#include "support/project_builder.h"

#include <gtest/gtest.h>

namespace veltrane {
namespace {

using testing::ProjectBuilder;
using Only = ProjectDifference::Only;

// Subnet 1 with node 5 holding three read commands (starting addresses 0, 10, 20).
ProjectBuilder threeCommands() {
    ProjectBuilder b;
    const int node = b.node(1, "5");
    for (const char* start : {"0", "10", "20"})
        b.command(1, node, {.functionCode = "3", .dataCount = "1", .mappingAddress = "0", .mappingBit = "0",
                            .startAddress = start});
    return b;
}

std::vector<ProjectDifference> diff(const ProjectBuilder& a, const ProjectBuilder& b) {
    return diffProjects({a.project, a.state}, {b.project, b.state});
}

const std::string kCommands = "Subnet 1/Node-5/03 Read Holding Register";

TEST(ProjectDiff, EqualProjectsHaveNoDifferences) {
    EXPECT_TRUE(diff(threeCommands(), threeCommands()).empty());
}

TEST(ProjectDiff, AChangedFieldIsOneRowWithBothStoredValues) {
    ProjectBuilder b = threeCommands();
    b.at(1, 2).startAddress = "11";
    const auto differences = diff(threeCommands(), b);
    ASSERT_EQ(differences.size(), 1u);
    EXPECT_EQ(differences[0], (ProjectDifference{kCommands + "#2", tr(Str::RowStartingAddress), "10", "11"}));
    EXPECT_EQ(differenceLine(differences[0]), kCommands + "#2: Starting Address: \"10\" -> \"11\"");
}

TEST(ProjectDiff, AnInsertedCommandIsOneEntryAndTheOthersStillPair) {
    ProjectBuilder b = threeCommands();
    // One more command in the middle of node 5's list.
    b.project.subnets[0].commands[3] = b.at(1, 3);
    b.at(1, 3) = b.at(1, 2);
    b.at(1, 3).startAddress = "15";
    ++b.project.subnets[0].commandCount;
    const auto inserted = diff(threeCommands(), b);
    ASSERT_EQ(inserted.size(), 1u);
    EXPECT_EQ(inserted[0], (ProjectDifference{kCommands + "#3", {}, {}, {}, Only::B}));
    // The same the other way round names side a's item.
    const auto removed = diff(b, threeCommands());
    ASSERT_EQ(removed.size(), 1u);
    EXPECT_EQ(removed[0], (ProjectDifference{kCommands + "#3", {}, {}, {}, Only::A}));
}

TEST(ProjectDiff, NodesAreMatchedBySlaveAddressAndGoWithTheirCommands) {
    ProjectBuilder a = threeCommands();
    ProjectBuilder b = threeCommands();
    // Node 7 only in b, placed before node 5: node 5 still pairs with node 5.
    b.project.subnets[0].nodes[1] = b.project.subnets[0].nodes[0];
    b.project.subnets[0].nodes[0] = {"7", "Node-7"};
    ++b.project.subnets[0].nodeCount;
    for (int i = 1; i <= 3; ++i)
        b.at(1, i).nodeIndex = 2;
    b.command(1, 1, {.functionCode = "3", .dataCount = "1", .mappingAddress = "2", .mappingBit = "0"});
    const auto differences = diff(a, b);
    ASSERT_EQ(differences.size(), 1u) << differenceLine(differences[0]);
    EXPECT_EQ(differences[0], (ProjectDifference{"Subnet 1/Node-7", {}, {}, {}, Only::B}));
}

TEST(ProjectDiff, ValuesWithoutARowUseTheirSavedNames) {
    ProjectBuilder b = threeCommands();
    b.state.flags.commandStatusModel = true;
    b.state.FormatVersion = 300;
    const auto differences = diff(threeCommands(), b);
    ASSERT_EQ(differences.size(), 2u);
    EXPECT_EQ(differences[0], (ProjectDifference{"", "FormatVersion", "312", "300"}));
    EXPECT_EQ(differences[1], (ProjectDifference{"", "commandStatusModel", "false", "true"}));
    EXPECT_EQ(differenceLine(differences[1]), "commandStatusModel: \"false\" -> \"true\"");
}

}  // namespace
}  // namespace veltrane
