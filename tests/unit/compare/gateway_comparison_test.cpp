// The project against a gateway's upload: only what the link carries can differ.

#include "core/compare/gateway_comparison.h"
#include "core/strings/strings.h"
#include "support/project_builder.h"

#include <gtest/gtest.h>

namespace veltrane {
namespace {

using testing::ProjectBuilder;

ProjectBuilder sample() {
    ProjectBuilder b;
    const int node = b.node(1, "5");
    b.command(1, node, {.functionCode = "3", .dataCount = "2", .mappingAddress = "0", .mappingBit = "0"});
    b.command(1, node, {.functionCode = "1", .dataCount = "3", .mappingAddress = "4", .mappingBit = "",
                        .startAddress = "7"});
    return b;
}

TEST(GatewayComparison, OnlyWhatTheImageCarriesIsCompared) {
    const ProjectBuilder file = sample();
    ProjectBuilder gateway = sample();
    gateway.project.subnets[0].nodes[0].name = "Pump";      // not in the image
    gateway.at(1, 1).byteCount = "99";                       // recomputed by every download
    gateway.at(1, 2).mappingBit = "0";                       // an empty bit is stored as 0
    EXPECT_TRUE(compareWithEthernetGateway(file.project, file.state,
                                           ethernet::buildConfigurationImage(gateway.project, gateway.state))
                    .empty());

    gateway.at(1, 2).startAddress = "8";
    const auto differences = compareWithEthernetGateway(
        file.project, file.state, ethernet::buildConfigurationImage(gateway.project, gateway.state));
    ASSERT_EQ(differences.size(), 1u);
    EXPECT_EQ(differences[0].row, tr(Str::RowStartingAddress));
    EXPECT_EQ(differences[0].a, "7");
    EXPECT_EQ(differences[0].b, "8");
}

}  // namespace
}  // namespace veltrane
