// veltrane-cli new for every kind of gateway: the file holds the type, the switches and a version
// that stores them; a wrong value writes nothing.

#include "core/model/project_file.h"
#include "support/cli_test_fixture.h"

#include <filesystem>

namespace veltrane::testing {
namespace {

using CliNewKind = CliTestFixture;

TEST_F(CliNewKind, MakesTheTypeAndSwitchesAsked) {
    struct Case {
        std::vector<std::string> options;
        std::int32_t type;
        ModelFlags flags;
        std::string fieldbusType;
        std::string inputSize;
        std::string subnet1Protocol;
    };
    const std::vector<Case> cases = {
        {{}, device::EtherNetIP, {}, "EtherNet/IP", "8", "Modbus Master"},
        {{"--type", "0"}, device::DeviceNet, {}, "DeviceNet", "64", "Modbus Master"},
        {{"--type", "5"}, device::ProfibusSlave, {}, "Profibus", "112", "Modbus Slave"},
        {{"--type", "2", "--model", "userConfigOnlyModel"}, device::FourSubnets,
         {.userConfigOnlyModel = true}, "DeviceNet", "8", "User Config"},
        // Any combination is stored, whatever the type makes of it.
        {{"--type", "1", "--model", "hardwareSizedModel", "--model", "singleSubnetModel"}, device::Profibus,
         {.hardwareSizedModel = true, .singleSubnetModel = true}, "Profibus", "112", "Modbus Master"},
    };
    for (const Case& c : cases) {
        const std::string out = file("kind.chg");
        std::vector<std::string> args{"new", out};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const RunResult made = cli(args);
        ASSERT_EQ(made.exitCode, 0) << made.err;
        // A run that last opened an old file must still read the switches back.
        ProjectState reader;
        reader.FormatVersion = 232;
        const Result<LoadedProject> read = readProjectFile(out, reader);
        ASSERT_TRUE(read.ok()) << read.message();
        EXPECT_EQ(read->DeviceType, c.type) << args.back();
        EXPECT_EQ(read->flags, c.flags) << args.back();
        EXPECT_EQ(read->FormatVersion, kDefaultFormatVersion);
        EXPECT_EQ(read->project.fieldbus.fieldbusType, c.fieldbusType) << args.back();
        EXPECT_EQ(read->project.fieldbus.inputSize, c.inputSize) << args.back();
        EXPECT_EQ(read->project.subnets[0].protocolType, c.subnet1Protocol) << args.back();
        std::filesystem::remove(out);
    }
}

TEST_F(CliNewKind, AWrongValueIsAUsageErrorAndWritesNothing) {
    for (const std::vector<std::string>& wrong :
         {std::vector<std::string>{"--type", "8"}, {"--type", "-1"}, {"--type", "x"}, {"--model", "turboModel"},
          {"--model", "DataFilterModel"}, {"--type", "0", "--model", ""}}) {
        std::vector<std::string> args{"new", file("never.chg")};
        args.insert(args.end(), wrong.begin(), wrong.end());
        const RunResult run = cli(args);
        EXPECT_EQ(run.exitCode, 2) << wrong.back() << run.err;
        EXPECT_NE(run.err.find("usage: veltrane-cli new"), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(file("never.chg")));
    }
}

}  // namespace
}  // namespace veltrane::testing
