// veltrane-cli check and edit on real project files: the completeness report of each kind of gap,
// and the fieldbus and subnet rows reached by scripted edits.

#include "core/model/project_defaults.h"
#include "core/model/project_file.h"

#include "support/cli_test_fixture.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

using namespace veltrane;

namespace {

const std::string kNotComplete =
    "Configuration is not complete, please continue to complete the configuration before downloading!";

using veltrane::testing::RunResult;
using veltrane::testing::slurp;

class CheckCli : public veltrane::testing::CliTestFixture {
protected:
    // A new project of the given type and switches, changed and written to a file.
    std::string project(const std::string& name, std::int32_t deviceType, const std::function<void(ModelFlags&)>& flags,
                        const std::function<void(Project&)>& change) const {
        Project p;
        ProjectState s;
        s.DeviceType = deviceType;
        if (flags)
            flags(s.flags);
        applyProjectDefaults(p, s);
        p.fieldbus.fieldbusType = fieldbusTypeFor(deviceType);
        if (change)
            change(p);
        const std::string path = file(name);
        EXPECT_TRUE(writeProjectFile(path, p, s).ok());
        return path;
    }
};

void addCommand(CONFIG& subnet, const char* slave, const char* code, const char* count, const char* mapping) {
    NodeEntry& node = subnet.nodes[static_cast<std::size_t>(subnet.nodeCount++)];
    node.address = slave;
    node.name = std::string("Node-") + slave;
    INSTRUCTION& command = subnet.commands[static_cast<std::size_t>(subnet.commandCount++)];
    command.slaveAddress = slave;
    command.functionCode = code;
    command.startAddress = "0";
    command.dataCount = count;
    command.mappingAddress = mapping;
    command.mappingBit = "0";
    command.nodeIndex = subnet.nodeCount;
}

TEST_F(CheckCli, ReportsEachKindOfGap) {
    struct Case {
        std::string name;
        std::int32_t type;
        std::function<void(ModelFlags&)> flags;
        std::function<void(Project&)> change;
        std::string report;
    };
    auto configData = [](ModelFlags& f) { f.configDataModel = true; };
    auto inputData = [](const char* data) {
        return [data](Project& p) {
            p.fieldbus.configMode = "Input the Configuration Data";
            p.fieldbus.configData = data;
        };
    };
    const std::vector<Case> cases = {
        {"devicenet 160 112", device::DeviceNet, {},
         [](Project& p) {
             p.fieldbus.inputSize = "160";
             p.fieldbus.outputSize = "112";
         },
         "RV-44, RV-440 input bytes + output bytes can not be greater than 240 bytes, please select the appropriate "
         "input / output combinations\n"},
        {"scan rate", device::EtherNetIP, {}, [](Project& p) { p.subnets[0].scanRate = "-1"; },
         kNotComplete + "Subnet1 scan rate of unfilled\n"},
        {"starting address", device::DeviceNet, {},
         [](Project& p) {
             addCommand(p.subnets[0], "3", "3", "1", "0");
             p.subnets[0].commands[0].startAddress = "-1";
         },
         kNotComplete + "Subnet1 Node-3Unfilled starting address\n"},
        {"configuration data nine bytes", device::Profibus, configData, inputData("10 10 10 10 10 10 10 10 10"),
         "Numerical Profibus configuration data error\n"},
        {"configuration data reserved identifier", device::Profibus, configData, inputData("0F"),
         "Numerical Profibus configuration data error\n"},
        {"configuration data too small", device::Profibus, configData,
         [&](Project& p) {
             inputData("D1 E1")(p);
             addCommand(p.subnets[0], "4", "3", "3", "0");
         },
         "Node-4 input commands mapped address is out of range!\n"},
        {"devicenet address", device::DeviceNet, {}, [](Project& p) { p.fieldbus.deviceNetAddress = "-1"; }, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = project("gap.chg", c.type, c.flags, c.change);
        const std::string before = slurp(path);
        const RunResult run = cli({"check", path});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.out, c.report + kNotComplete + "\n");
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(slurp(path), before);  // checking writes nothing
    }
}

TEST_F(CheckCli, CompleteProjectsPass) {
    const std::string path = project("ok.chg", device::Profibus, [](ModelFlags& f) { f.configDataModel = true; },
                                     [](Project& p) {
                                         p.fieldbus.configMode = "Input the Configuration Data";
                                         p.fieldbus.configData = "D1 E1";
                                         addCommand(p.subnets[0], "4", "3", "2", "0");
                                     });
    const RunResult run = cli({"check", path});
    EXPECT_EQ(run.exitCode, 0) << run.out;
    EXPECT_EQ(run.out, "Configuration is complete.\n");

    EXPECT_EQ(cli({"check"}).exitCode, 2);
    const RunResult missing = cli({"check", file("missing.chg")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, file("missing.chg") + " was not found.\n");
}

TEST_F(CheckCli, EditReachesFieldbusAndSubnetRows) {
    const std::string out = file("edited.chg");
    const RunResult edit = cli({"edit", "new", "-o", out, "--select", "Ethernet", "--set", "IP Address=10.0.0.5",
                                "--set", "Assign IP Mode=DHCP", "--select", "Subnet 1", "--set",
                                "Response Timeout (10~60000ms)=500", "--set", "Output Mode=Cycle", "--set",
                                "Scan Rate (1~255)=256", "--select", "Subnet 2", "--set", "Parity=Even",
                                "--print-grid"});
    ASSERT_EQ(edit.exitCode, 0) << edit.err;
    EXPECT_NE(edit.out.find("Parity = Even\n"), std::string::npos) << edit.out;
    EXPECT_NE(edit.out.find("Type of Protocol = Modbus Master  [read-only]\n"), std::string::npos) << edit.out;
    const RunResult shown = cli({"show", out});
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    for (const char* expected : {"ipAddress: \"10.0.0.5\"", "ipAssignMode: \"DHCP\"", "responseTimeout: \"500\"",
                                 "outputMode: \"Cycle\"", "scanRate: \"10\"", "parity: \"Even\""})
        EXPECT_NE(shown.out.find(expected), std::string::npos) << expected;

    // A PROFIBUS gateway with command status: the timeout choice is offered as "Clear" and stored
    // under its file spelling.
    const std::string profibus = project("status.chg", device::ProfibusFilter,
                                         [](ModelFlags& f) { f.commandStatusModel = true; }, {});
    const RunResult hold =
        cli({"edit", profibus, "-o", out, "--select", "Fieldbus", "--set",
             "Input data timeout cleared/hold=hold", "--set", "Input data timeout cleared/hold=Clear",
             "--set", "Timeout times=254", "--print-grid", "--select", "Subnet", "--set",
             "Modbus command status=2byte", "--set", "Communication Interface=RS232"});
    ASSERT_EQ(hold.exitCode, 0) << hold.err;
    EXPECT_NE(hold.out.find("Input data timeout cleared/hold = Clear\n"), std::string::npos) << hold.out;
    const RunResult after = cli({"show", out});
    for (const char* expected : {"timeoutAction: \"\\\\Template.xls\"", "timeoutTimes: \"254\"", "commandStatus: \"2byte\"",
                                 "commInterface: \"RS232\"", "debugInterface: \"RS485\""})
        EXPECT_NE(after.out.find(expected), std::string::npos) << expected << "\n" << after.out;
}

}  // namespace
