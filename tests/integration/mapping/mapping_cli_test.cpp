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
        EXPECT_TRUE(writeProjectFile(path, b.project, b.state).ok());
        return path;
    }

    LoadedProject load(const std::string& path) {
        Result<LoadedProject> outcome = readProjectFile(path, ProjectState{});
        EXPECT_TRUE(outcome.ok()) << (outcome.ok() ? "" : outcome.message());
        return outcome.ok() ? *outcome : LoadedProject{};
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

TEST_F(MappingCli, AutomapWarnsPastTheFieldbusSizesAndStillWrites) {
    ProjectBuilder b;
    b.state.DeviceType = device::DeviceNet;
    b.project.fieldbus.inputSize = "8";
    b.project.fieldbus.outputSize = "8";
    b.node(1, "1");
    b.command(1, 1, {"3", "10"});
    const std::string in = save(b, "in.chg");
    const std::string out = (m_dir / "out.chg").string();

    const RunResult run = cli({"automap", in, "-o", out});
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("The mapped commands need more bytes than the fieldbus buffer sizes set.\n"
                           "Input: the read commands need 20 bytes; the input size set is 8 bytes.\n"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(load(out).project.subnets[0].commands[0].byteCount, "20");
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

// The picture is saved like the project and the workbook: on a full disk the previous picture stays
// as it was and no temporary file is left. The disk is a small tmpfs in a private mount namespace.
TEST_F(MappingCli, PictureOnAFullDiskKeepsThePreviousOne) {
    if (veltrane::testing::runProgram("/usr/bin/unshare", {"-rm", "true"}).exitCode != 0)
        GTEST_SKIP() << "unshare -rm is not permitted here";
    ProjectBuilder b;
    const std::string project = save(b, "plant.chg");
    std::filesystem::create_directory(m_dir / "disk");
    const std::string script = R"sh(
        disk="$1"; cli="$2"; project="$3"
        mount -t tmpfs -o size=512k tmpfs "$disk" || exit 77
        "$cli" conflicts "$project" --png "$disk/maps.png" > /dev/null
        before=$(cksum < "$disk/maps.png")
        echo "size $(stat -c %s "$disk/maps.png")"
        head -c 4194304 /dev/zero > "$disk/filler" 2> /dev/null
        truncate -s -2048 "$disk/filler"
        "$cli" conflicts "$project" --png "$disk/maps.png" > /dev/null
        echo "exit $?"
        [ "$(cksum < "$disk/maps.png")" = "$before" ] && echo "previous picture intact"
        ls -A "$disk"
    )sh";
    const RunResult run = veltrane::testing::runProgram(
        "/usr/bin/unshare", {"-rm", "/bin/sh", "-c", script, "sh", (m_dir / "disk").string(), VELTRANE_CLI, project});
    if (run.exitCode == 77)
        GTEST_SKIP() << "tmpfs cannot be mounted here";
    // The picture must be larger than the space left, or the test shows nothing.
    ASSERT_EQ(run.out.rfind("size ", 0), 0u) << run.out;
    ASSERT_GT(std::stoi(run.out.substr(5)), 2048) << run.out;
    EXPECT_NE(run.out.find("\nexit 1\nprevious picture intact\nfiller\nmaps.png\n"), std::string::npos) << run.out;
    EXPECT_NE(run.err.find("Cannot write the picture " + (m_dir / "disk").string() + "/maps.png.\n"), std::string::npos)
        << run.err;
}
