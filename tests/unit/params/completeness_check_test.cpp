#include "core/editor/completeness_check.h"
#include "core/editor/profibus_config_data.h"
#include "core/mapping/byte_count_rules.h"
#include "core/model/project_defaults.h"

#include <gtest/gtest.h>

using namespace veltrane;

namespace {
const std::string kNotComplete =
    "Configuration is not complete, please continue to complete the configuration before downloading!";

struct Fixture {
    Project project;
    ProjectState state;

    explicit Fixture(std::int32_t deviceType, ModelFlags flags = {}) {
        state.DeviceType = deviceType;
        state.flags = flags;
        applyProjectDefaults(project, state);
    }

    INSTRUCTION& addCommand(int subnet, std::string slave, std::string code, std::string count, std::string mapping) {
        CONFIG& config = project.subnets[static_cast<std::size_t>(subnet - 1)];
        INSTRUCTION& command = config.commands[static_cast<std::size_t>(config.commandCount++)];
        command.slaveAddress = std::move(slave);
        command.functionCode = std::move(code);
        command.startAddress = "0";
        command.dataCount = std::move(count);
        command.mappingAddress = std::move(mapping);
        command.mappingBit = "0";
        command.nodeIndex = 1;
        return command;
    }

    CompletenessResult check() { return checkConfiguration(project, state); }
};
}  // namespace

TEST(HexPair, StopsAtFirstNonHexDigit) {
    EXPECT_EQ(hexPairToByte('D', '1'), 0xD1);
    EXPECT_EQ(hexPairToByte('e', 'f'), 0xEF);
    EXPECT_EQ(hexPairToByte('G', '1'), 0);
    EXPECT_EQ(hexPairToByte('1', 'G'), 1);
}

TEST(ProfibusConfigData, IdentifierTable) {
    struct Case {
        std::vector<std::uint8_t> bytes;
        bool valid;
        int input;
        int output;
    };
    const std::vector<Case> cases = {
        {{}, true, 0, 0},
        {{0xD1, 0xE1}, true, 4, 4},                  // words, input then output
        {{0x13, 0x23, 0x31}, true, 4 + 2, 4 + 2},    // bytes; 0x31 is input and output
        {{0x0F}, false, 255, 255},                   // manufacturer count 15 is reserved
        {{0xC0, 0x01, 0x41}, true, 4, 2},            // special: output length then input length (words)
        {{0x82, 0x03, 0xAA, 0xBB}, true, 0, 4},      // special with two manufacturer bytes
        {{0x82, 0x03, 0xAA}, false, 255, 255},       // manufacturer bytes missing
        {{0x80}, false, 255, 255},                   // length byte missing
        {{0x00}, true, 0, 0},                        // empty slot
        {{0x5F, 0x5F, 0x5F, 0x5F}, false, 255, 255}, // 128 input bytes exceed 112
        {{0x5F, 0x5F, 0x5F, 0x57}, true, 112, 0},    // exactly 112
        {std::vector<std::uint8_t>(9, 0x10), false, 255, 255},
    };
    for (const Case& c : cases) {
        const ProfibusConfigSizes sizes = parseProfibusConfigData(c.bytes);
        EXPECT_EQ(sizes.valid, c.valid) << testing::PrintToString(c.bytes);
        EXPECT_EQ(sizes.inputTotal, c.input) << testing::PrintToString(c.bytes);
        EXPECT_EQ(sizes.outputTotal, c.output) << testing::PrintToString(c.bytes);
    }
}

TEST(ProfibusConfigData, TextPairsEveryThreeCharacters) {
    EXPECT_EQ(configDataBytes("D1 E1"), (std::vector<std::uint8_t>{0xD1, 0xE1}));
    EXPECT_EQ(configDataBytes("D1 E"), (std::vector<std::uint8_t>{0xD1}));
    EXPECT_TRUE(configDataBytes("D").empty());
    EXPECT_EQ(configDataBytes("10 10 10 10 10 10 10 10 10").size(), 9u);
}

TEST(Completeness, NewProjectsOfEveryTypeAreComplete) {
    for (std::int32_t type : {0, 1, 2, 3, 4, 5, 6, 7}) {
        Fixture f(type);
        EXPECT_TRUE(f.check().complete) << type;
    }
}

TEST(Completeness, DeviceNetSizesAndAddress) {
    Fixture f(device::DeviceNet);
    f.project.fieldbus.inputSize = "160";
    for (const char* output : {"112", "96"}) {
        f.project.fieldbus.outputSize = output;
        const CompletenessResult result = f.check();
        EXPECT_FALSE(result.complete);
        EXPECT_EQ(result.report,
                  "RV-44, RV-440 input bytes + output bytes can not be greater than 240 bytes, please select the "
                  "appropriate input / output combinations");
    }
    f.project.fieldbus.outputSize = "80";
    EXPECT_TRUE(f.check().complete);
    f.project.fieldbus.deviceNetAddress = "-1";
    const CompletenessResult silent = f.check();
    EXPECT_FALSE(silent.complete);
    EXPECT_TRUE(silent.report.empty());
}

TEST(Completeness, MasterSubnetReportsInOrder) {
    struct Case {
        std::function<void(Project&)> change;
        std::string item;
    };
    const std::vector<Case> cases = {
        {[](Project& p) { p.subnets[0].responseTimeout = "-1"; }, "Subnet1 response wait time Unfilled"},
        {[](Project& p) { p.subnets[0].pollDelay = "-1"; }, "Subnet1 polling delay Unfilled"},
        {[](Project& p) { p.subnets[0].outputMode = "Output Pulse"; }, "Subnet1 pulse output time Unfilled"},
        {[](Project& p) { p.subnets[0].scanRate = "-1"; }, "Subnet1 scan rate of unfilled"},
        {[](Project& p) { p.subnets[0].commands[0].slaveAddress = "-1"; }, "Subnet1 node address Unfilled"},
        {[](Project& p) { p.subnets[0].commands[0].startAddress = "-1"; }, "Subnet1 Node-3Unfilled starting address"},
        {[](Project& p) { p.subnets[0].commands[0].dataCount = "-1"; }, "Subnet1 Node-3The number of unfilled data"},
        {[](Project& p) { p.subnets[0].commands[0].mappingAddress = "-1"; },
         "Subnet1 Node-3Unfilled starting address mapping"},
        {[](Project& p) { p.subnets[0].commands[0].mappingBit = "-1"; }, "Subnet1 Node-3Mapping bit offset Unfilled"},
        // A user's slave text is not a format pattern.
        {[](Project& p) { p.subnets[0].commands[0].slaveAddress = "%d%s"; p.subnets[0].commands[0].dataCount = "-1"; },
         "Subnet1 Node-%d%sThe number of unfilled data"},
    };
    for (const Case& c : cases) {
        Fixture f(device::EtherNetIP);
        f.addCommand(1, "3", "3", "2", "0");
        c.change(f.project);
        ScriptedPrompter prompter;
        EXPECT_FALSE(checkConfigurationComplete(f.project, f.state, prompter)) << c.item;
        EXPECT_EQ(prompter.shown(), std::vector<std::string>{kNotComplete + c.item});
    }
}

// A node, or a command, outside the slave addresses (only a damaged or foreign file holds one) is
// not downloaded.
TEST(Completeness, SlaveAddressesOutsideTheRangeAreReported) {
    struct Case {
        std::string node;
        std::string command;
        std::string item;  // empty: complete
    };
    const Case cases[] = {
        {"0", "0", ""},
        {"247", "247", ""},
        {"248", "3", "Subnet1 Node-248 slave address out of range (0~247)"},
        {"3", "248", "Subnet1 Node-248 slave address out of range (0~247)"},
        {"99999999999", "3", "Subnet1 Node-99999999999 slave address out of range (0~247)"},
        {"007", "3", "Subnet1 Node-007 slave address out of range (0~247)"},
        {"-1", "3", "Subnet1 node address Unfilled"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.node + "/" + c.command);
        Fixture f(device::EtherNetIP);
        CONFIG& subnet = f.project.subnets[0];
        subnet.nodeCount = 1;
        subnet.nodes[0] = {c.node, "Node-" + c.node};
        f.addCommand(1, c.command, "3", "2", "0");
        const CompletenessResult result = f.check();
        EXPECT_EQ(result.complete, c.item.empty());
        EXPECT_EQ(result.report, c.item.empty() ? std::string() : kNotComplete + c.item);
    }
}

TEST(Completeness, UnfilledPulseIsFineWithoutPulseMode) {
    Fixture f(device::EtherNetIP);
    ASSERT_EQ(f.project.subnets[0].outputPulse, "-1");
    EXPECT_TRUE(f.check().complete);
}

TEST(Completeness, SlaveWithoutOwnAddressIsRefusedSilently) {
    Fixture f(device::ProfibusSlave);
    f.project.subnets[0].slaveModeAddress.clear();
    const CompletenessResult result = f.check();
    EXPECT_FALSE(result.complete);
    EXPECT_TRUE(result.report.empty());
}

TEST(Completeness, FourSubnetsTestsEverySubnetButNoRanges) {
    Fixture f(device::FourSubnets);
    f.project.subnets[2].pollDelay = "-1";
    EXPECT_EQ(f.check().report, kNotComplete + "Subnet3 polling delay Unfilled");

    Fixture g(device::FourSubnets);
    g.addCommand(1, "1", "3", "100", "0");  // far beyond 8 bytes, yet no range test on this type
    g.addCommand(2, "2", "3", "4", "0");
    g.project.subnets[1].commands[0].byteCount = "stale";
    EXPECT_TRUE(g.check().complete);
    EXPECT_EQ(g.project.subnets[0].commands[0].byteCount, "200");
    EXPECT_EQ(g.project.subnets[1].commands[0].byteCount, "stale");
    g.project.subnets[3].commands[0].mappingBit = "-1";
    g.project.subnets[3].commandCount = 1;
    g.project.subnets[3].commands[0].slaveAddress = "9";
    g.project.subnets[3].commands[0].startAddress = "0";
    g.project.subnets[3].commands[0].dataCount = "1";
    g.project.subnets[3].commands[0].mappingAddress = "0";
    EXPECT_EQ(g.check().report, kNotComplete + "Subnet4 Node-9Mapping bit offset Unfilled");
}

TEST(Completeness, ByteCountsByFunctionCode) {
    struct Case {
        const char* code;
        const char* count;
        const char* bytes;
    };
    for (const Case& c : std::vector<Case>{{"1", "9", "2"}, {"2", "8", "1"}, {"15", "1", "1"}, {"3", "5", "10"},
                                           {"4", "0", "0"}, {"16", "3", "6"}, {"5", "7", "1"}, {"6", "7", "2"}}) {
        INSTRUCTION command;
        command.functionCode = c.code;
        command.dataCount = c.count;
        EXPECT_EQ(completenessCommandBytes(command), c.bytes) << c.code << "/" << c.count;
    }
    INSTRUCTION unknown;
    unknown.functionCode = "7";
    EXPECT_EQ(completenessCommandBytes(unknown), "");
}

TEST(Completeness, RangeAgainstDeclaredBuffers) {
    struct Case {
        const char* code;
        const char* count;
        const char* mapping;
        bool complete;
        std::string report;
    };
    const std::vector<Case> cases = {
        {"3", "2", "3C", true, ""},
        {"3", "2", "3E", false, "Node-5 input commands mapped address is out of range!"},
        {"16", "4", "4000", true, ""},
        {"16", "4", "4001", false, "Node-5 output commands mapped address is out of range!"},
        {"1", "16", "3E", true, ""},
        {"1", "17", "3E", false, "Node-5 input commands mapped address is out of range!"},
    };
    for (const Case& c : cases) {
        Fixture f(device::DeviceNet);  // 64 bytes in
        f.project.fieldbus.outputSize = "8";
        f.addCommand(1, "5", c.code, c.count, c.mapping);
        const CompletenessResult result = f.check();
        EXPECT_EQ(result.complete, c.complete) << c.code << " " << c.mapping;
        EXPECT_EQ(result.report, c.report) << c.code << " " << c.mapping;
    }
}

TEST(Completeness, BufferSizesByModel) {
    ModelFlags hardware;
    hardware.hardwareSizedModel = true;
    Fixture h(device::Profibus, hardware);
    h.addCommand(1, "1", "3", "84", "0");  // 168 bytes
    EXPECT_TRUE(h.check().complete);
    h.project.subnets[0].commands[0].dataCount = "85";
    EXPECT_FALSE(h.check().complete);

    ModelFlags status;
    status.commandStatusModel = true;
    status.hardwareSizedModel = false;
    Fixture s(device::ProfibusFilter, status);
    s.addCommand(1, "1", "6", "1", "40DE");  // ends at 224
    EXPECT_TRUE(s.check().complete);
    s.project.subnets[0].commands[0].mappingAddress = "40DF";
    EXPECT_FALSE(s.check().complete);
}

TEST(Completeness, ConfigurationDataDeclaresSizes) {
    ModelFlags filter;
    filter.configDataModel = true;
    Fixture f(device::Profibus, filter);
    f.project.fieldbus.configMode = "Input the Configuration Data";
    f.project.fieldbus.configData = "D1 E1";
    f.addCommand(1, "2", "3", "2", "0");
    EXPECT_TRUE(f.check().complete);
    f.project.subnets[0].commands[0].dataCount = "3";  // 6 bytes, only 4 declared
    EXPECT_EQ(f.check().report, "Node-2 input commands mapped address is out of range!");

    for (const char* bad : {"10 10 10 10 10 10 10 10 10", "0F", "80"}) {
        f.project.fieldbus.configData = bad;
        EXPECT_EQ(f.check().report, "Numerical Profibus configuration data error") << bad;
    }
    // No identifiers declare no bytes; nothing carries over from the previous check.
    f.project.fieldbus.configData = "";
    EXPECT_EQ(f.check().report, "Node-2 input commands mapped address is out of range!");
    f.project.subnets[0].commandCount = 0;
    EXPECT_TRUE(f.check().complete);

    // "Use Bytes choice" ignores the data.
    f.project.fieldbus.configMode = "Use Bytes choice";
    f.project.fieldbus.configData = "0F";
    EXPECT_TRUE(f.check().complete);
}
