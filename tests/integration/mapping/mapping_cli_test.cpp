#include "core/model/project_file.h"

#include "support/project_builder.h"

#include "support/cli_test_fixture.h"

#include <filesystem>
#include <fstream>
#include <string>

using namespace veltrane;
using veltrane::testing::ProjectBuilder;
using veltrane::testing::RunResult;

namespace {

class MappingCli : public veltrane::testing::CliTestFixture {
protected:
    std::string save(const ProjectBuilder& b, const std::string& name) {
        const std::string path = (m_dir / name).string();
        EXPECT_EQ(writeProjectFile(path, b.project, b.state), "");
        return path;
    }

    LoadedProject load(const std::string& path) {
        ReadOutcome outcome = readProjectFile(path, ProjectState{});
        EXPECT_TRUE(outcome.loaded.has_value()) << outcome.error;
        return outcome.loaded.value_or(LoadedProject{});
    }
};

}  // namespace

TEST_F(MappingCli, AutomapWritesTheCalculatedAddresses) {
    ProjectBuilder b;
    b.node(1, "1");
    b.node(1, "2");
    b.command(1, 2, {"3", "2"});
    b.command(1, 1, {"1", "10", "", "3"});
    b.command(1, 2, {"16", "4"});
    const std::string in = save(b, "in.chg");
    const std::string out = (m_dir / "out.chg").string();

    const RunResult run = cli({"automap", in, "-o", out});
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("Really want to recalculate the mapping address?"), std::string::npos);
    EXPECT_NE(run.out.find("subnet 1 command 1: mapping address 2, bytes 4"), std::string::npos) << run.out;
    const LoadedProject loaded = load(out);
    const CONFIG& subnet = loaded.project.subnets[0];
    EXPECT_EQ(subnet.commands[0].mappingAddress, "2");
    EXPECT_EQ(subnet.commands[1].mappingAddress, "0");
    EXPECT_EQ(subnet.commands[1].byteCount, "2");
    EXPECT_EQ(subnet.commands[2].mappingAddress, "4000");
    EXPECT_EQ(subnet.commands[2].byteCount, "8");
}

TEST_F(MappingCli, AutomapFailsOnCancelAndOnAStopMessage) {
    ProjectBuilder b;
    b.node(1, "1");
    b.command(1, 1, {"3", "300"});
    const std::string in = save(b, "in.chg");
    const std::string out = (m_dir / "out.chg").string();

    RunResult run = cli({"automap", in, "-o", out, "--answer", "cancel"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find("Mapping cancelled."), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(out));

    run = cli({"automap", in, "-o", out});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find("Subnet1 1th command data number is too large"), std::string::npos) << run.out;
    EXPECT_FALSE(std::filesystem::exists(out));

    EXPECT_EQ(cli({"automap"}).exitCode, 2);
    EXPECT_EQ(cli({"automap", in, "--answer", "maybe"}).exitCode, 2);
    EXPECT_EQ(cli({"automap", (m_dir / "missing.chg").string()}).exitCode, 1);
}

TEST_F(MappingCli, ConflictsListsBytesAndDrawsThePicture) {
    ProjectBuilder b;
    b.node(1, "1");
    b.command(1, 1, {"3", "2", "0"});
    b.command(1, 1, {"16", "1", "2"});
    const std::string exchange = save(b, "exchange.chg");
    const std::string png = (m_dir / "maps.png").string();

    // Local data exchange on the same bits: yellow in the dialog, but a conflict for the download.
    RunResult run = cli({"conflicts", exchange, "--png", png});
    EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
    EXPECT_NE(
        run.out.find("local data exchange 0002-0003 (a conflict for download): subnet 1 command 1 (03 Read "
                     "Holding Register), subnet 1 command 2 (16 Preset Multiple Registers)"),
        std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("Mapping conflict found."), std::string::npos);
    std::ifstream picture(png, std::ios::binary);
    char magic[4] = {};
    picture.read(magic, 4);
    EXPECT_EQ(std::string(magic + 1, 3), "PNG");

    b.at(1, 2).mappingAddress = "4000";
    run = cli({"conflicts", save(b, "clean.chg")});
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(run.out, "No mapping conflict.\n");
    EXPECT_EQ(run.err, "");

    b.at(1, 2).dataCount = "";
    run = cli({"conflicts", save(b, "incomplete.chg")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find("Please properly configure the No.2 command of subnet 1"), std::string::npos);
}
